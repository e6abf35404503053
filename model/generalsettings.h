#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

// One authorised telephone of the general section.
struct AuthorisedPhone {
    static constexpr int kMaskSlots = 16;    // slots 0..15 are used
    static constexpr qint16 kEmptySlot = 255;

    QString Number;          // international form; empty = the slot is free
    qint16 Priority = 0;     // 0 = no priority, 1..8
    qint16 Privilege = 0;    // 0 user .. 3 highest
    qint16 MaskMode = 0;     // 0 no mask, 1 only the listed channels, 2 all but the listed
    // Channel codes; the array keeps one spare slot. A fresh slot starts empty
    // rather than at code 0, which would name a real channel.
    std::array<qint16, kMaskSlots + 1> Mask = filledMask();

    static constexpr std::array<qint16, kMaskSlots + 1> filledMask()
    {
        std::array<qint16, kMaskSlots + 1> mask{};
        mask.fill(kEmptySlot);
        return mask;
    }
};

// General settings and the authorised phone list.
struct GeneralSettings {
    static constexpr int kPhoneSlots = 21;   // slot 20 is spare room
    static constexpr int kUsedPhoneSlots = 20; // only 0..19 are shown, saved or sent

    QString UnitName;
    QString SmsCentre;
    qint32 ResendMinutes = 0;
    qint16 ResendCount = 0;
    QString OwnNumber;
    QString RestoreText;
    std::array<AuthorisedPhone, kPhoneSlots> Phones;
};
