#pragma once

#include <QList>

#include "configcompare.h"
#include "sectioncore.h"

// The differences between what two models upload under the same capability
// flags: what was sent against what the unit holds, downloaded again. Each
// section's lines are matched on their key: the head of the line before its
// first "=" or ",", without the sign that enables or disables a slot ("RETRYMAX",
// "CT3" for both "CT3= 60,..." and "-CT3"); where a head repeats, with the
// first field that tells its lines apart ("TLF=+34600111222", "ALMD0,INDEX= 1").
// A row holds the section (as item too), that key and the whole line of each
// side, sent on the left; a line only one side gives is listed as such. What
// no upload carries (a section gated off, the fields of a disabled slot)
// cannot differ here.
QList<ConfigDifference> compareUploads(const ConfigStore &sent, const ConfigStore &held,
                                       const SectionRegistry &registry, const UploadContext &context);
