#pragma once

// Macro and equation pool.
struct MacroPool {
};
