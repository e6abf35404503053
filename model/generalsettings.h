#pragma once

// General settings and the authorised phone list.
struct GeneralSettings {
};
