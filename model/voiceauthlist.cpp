#include "voiceauthlist.h"

#include <algorithm>

#include "cp1252.h"
#include "crc16.h"

quint16 VoiceListCrc(const VoiceAuthList &list)
{
    const int count = std::clamp<int>(list.Count, 0, VoiceAuthList::kSlots);
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        Cp1252::appendEncoded(bytes, list.Numbers[i]);
    return Crc16(bytes);
}

void PackVoiceList(VoiceAuthList &list)
{
    const auto end = std::stable_partition(list.Numbers.begin(), list.Numbers.end(),
                                           [](const QString &number) { return !number.isEmpty(); });
    list.Count = qint16(end - list.Numbers.begin());
    list.ListCrc = VoiceListCrc(list);
}
