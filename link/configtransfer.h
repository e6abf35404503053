#pragma once

#include <QtGlobal>
#include <functional>

class Comms;
class SectionRegistry;
struct ConfigStore;

// The transfers report how far they have got: value of maximum.
using TransferProgress = std::function<void(int value, int maximum)>;

// Reads the whole configuration: "#42" answered by numbered "#BD" lines, each
// dispatched on its keyword to its section's parser. The stream fills a copy
// of `store` whose sections were cleared; only a complete stream replaces
// `store`, so a failed download leaves it exactly as it was.
bool ReadConf(Comms &comms, ConfigStore &store, const SectionRegistry &sections, quint32 features,
              const TransferProgress &progress = {});

// Writes the whole configuration: numbered "#45" lines closed by "#46" and
// the line count, which the unit confirms with "#B91". A refused line or a
// missing confirmation starts the whole upload again. A model holding a text
// with its line's separator (lineTextFaults) is refused before the first line.
bool WriteConf(Comms &comms, const ConfigStore &store, const SectionRegistry &sections, quint32 features,
               const TransferProgress &progress = {});
