#include "alarmmembers.h"

#include <algorithm>
#include <array>
#include <type_traits>
#include <utility>

#include "files/langtable.h"
#include "link/devicevalues.h"
#include "model/configstore.h"

namespace {

using L = QLatin1String;
using F = AlarmAnswerField;

// ---- Threshold layout ----
constexpr AlarmNumber kThresholdSegments[] = {
    {L(",MAX="), &AlarmConfig::High},
    {L(",MIN="), &AlarmConfig::Low},
    {L(",HIST="), &AlarmConfig::Hysteresis},
    {L(",P="), &AlarmConfig::Persistence},
};
constexpr AlarmNumber kThresholdKeys[] = {
    {L("MINIMO("), &AlarmConfig::Low},
    {L("MAXIMO("), &AlarmConfig::High},
    {L("HISTERESIS("), &AlarmConfig::Hysteresis},
    {L("PERSISTENCIA("), &AlarmConfig::Persistence},
};
constexpr AlarmActions kThreeLists[] = {
    {L(",ACTHI="), L("ACTHI("), &AlarmConfig::ActionsHigh},
    {L(",ACTLO="), L("ACTLO("), &AlarmConfig::ActionsLow},
    {L(",ACTNOM="), L("ACTNO("), &AlarmConfig::ActionsNormal},
};
constexpr ActionList AlarmConfig::*kThreeListAnswer[] = {
    &AlarmConfig::ActionsHigh, &AlarmConfig::ActionsNormal, &AlarmConfig::ActionsLow};
constexpr AlarmAnswerField kThresholdAnswer[] = {
    F::Low, F::High, F::Hysteresis, F::StartSOD, F::StopSOD, F::Week, F::Notification,
    F::EnableFlag, F::Persistence};

const AlarmLayout kThresholdLayout{kThresholdSegments, kThresholdKeys, true,
                                   kThreeLists, kThreeListAnswer, kThresholdAnswer};

// ---- Digital layout: persistence and re-arm, actions on closing and opening ----
constexpr AlarmNumber kDigitalSegments[] = {
    {L(",PC="), &AlarmConfig::Persistence},
    {L(",PO="), &AlarmConfig::Rearm},
};
constexpr AlarmNumber kDigitalKeys[] = {
    {L("PERSIST("), &AlarmConfig::Persistence},
    {L("REARM("), &AlarmConfig::Rearm},
};
constexpr AlarmActions kDigitalLists[] = {
    {L(",ACTCLOSE="), L("ACTHI("), &AlarmConfig::ActionsHigh},
    {L(",ACTOPEN="), L("ACTLO("), &AlarmConfig::ActionsLow},
};
constexpr ActionList AlarmConfig::*kTwoListAnswer[] = {&AlarmConfig::ActionsHigh,
                                                       &AlarmConfig::ActionsLow};
constexpr AlarmAnswerField kDigitalAnswer[] = {F::Persistence, F::Rearm, F::StartSOD, F::StopSOD,
                                               F::Week, F::Notification, F::EnableFlag};

const AlarmLayout kDigitalLayout{kDigitalSegments, kDigitalKeys, true,
                                 kDigitalLists, kTwoListAnswer, kDigitalAnswer};

// ---- Flag layout: no numbers, no enable flag ----
constexpr AlarmActions kFlagLists[] = {
    {L(",ACTHI="), L("ACTHI("), &AlarmConfig::ActionsHigh},
    {L(",ACTLO="), L("ACTLO("), &AlarmConfig::ActionsLow},
};
constexpr AlarmAnswerField kFlagAnswer[] = {F::StartSOD, F::StopSOD, F::Week, F::Notification};

const AlarmLayout kFlagLayout{{}, {}, false, kFlagLists, kTwoListAnswer, kFlagAnswer};

template <auto Member> std::span<AlarmConfig> slotsOf(ConfigStore &store, int channel)
{
    return (store.*Member)[channel].Alarms;
}

template <auto Member> constexpr int recordsOf()
{
    using Records = std::remove_reference_t<decltype(std::declval<ConfigStore &>().*Member)>;
    return int(std::tuple_size_v<Records>);
}

const AlarmEditorShape kThresholdEditor{
    {}, {}, {}, true, true, false, true, true, L("Persisten:"), {}};

AlarmEditorShape thresholdEditor(L name, L heading, L windowTitle)
{
    AlarmEditorShape shape = kThresholdEditor;
    shape.name = name;
    shape.heading = heading;
    shape.windowTitle = windowTitle;
    return shape;
}

// Channel records per member; flow meters and digital inputs keep one record
// more than the unit has channels (the spare meter, DI8).
constexpr int kFlowRecords = recordsOf<&ConfigStore::Flow>();
constexpr int kDigitalRecords = recordsOf<&ConfigStore::Digital>();
constexpr int kMathRecords = recordsOf<&ConfigStore::Math>();
constexpr int kFlagRecords = recordsOf<&ConfigStore::Flags>();
constexpr int kOneWireRecords = recordsOf<&ConfigStore::OneWire>();
constexpr int kAnalogRecords = recordsOf<&ConfigStore::Analog>();

const std::array<AlarmMemberRow, 6> kMembers{{
    {AlarmMember::Flow, L("CAUDAL"), kFlowRecords, kFlowRecords - 1, FlowMeter::kAlarmSlots,
     L("CAUDAL"), &kThresholdLayout, L("ALMFLOW"), &ProductLimits::FlowCount, 0,
     thresholdEditor(L("Caudal"), L("Configuracion caudalimetro"),
                     L("Configuracion entrada caudal")),
     &slotsOf<&ConfigStore::Flow>},
    {AlarmMember::Digital, L("DIGITAL"), kDigitalRecords, kDigitalRecords - 1,
     DigitalInput::kAlarmSlots, L("DIGITAL"), &kDigitalLayout, L("ALMD"),
     &ProductLimits::DigitalCount, 0,
     AlarmEditorShape{L("E_Digital"), L("Configuracion entrada digital "), {}, false, true, true,
                      true, false, L("Persist:"), L("Rearme:")},
     &slotsOf<&ConfigStore::Digital>},
    {AlarmMember::Math, L("MATH"), kMathRecords, kMathRecords, MathChannel::kAlarmSlots,
     L("MATH"), &kThresholdLayout, L("ALMM"), &ProductLimits::MathCount, Feature::MathChannels,
     thresholdEditor(L("E_Math"), L("Configuracion canal matematico "),
                     L("Configuracion canal matematico")),
     &slotsOf<&ConfigStore::Math>},
    {AlarmMember::Flags, L("FLAG"), kFlagRecords, kFlagRecords, FlagChannel::kAlarmSlots,
     L("FLAG"), &kFlagLayout, L("ALMF"), nullptr, Feature::FlagAlarms,
     AlarmEditorShape{L("Flags"), L("Alarma en flag "), {}, false, false, false, false, false,
                      {}, {}},
     &slotsOf<&ConfigStore::Flags>},
    {AlarmMember::OneWire, L("1WIRE"), kOneWireRecords, kOneWireRecords,
     OneWireProbe::kAlarmSlots, L("ONEWIRE"), &kThresholdLayout, L("ALMOW"),
     &ProductLimits::OneWireCount, 0,
     thresholdEditor(L("E_OneWire"), L("Configuracion sonda 1Wire "),
                     L("Configuracion sondas 1Wire")),
     &slotsOf<&ConfigStore::OneWire>},
    // No editor and no lines in this product: answers and file only.
    {AlarmMember::Analog, L("ANALOG"), kAnalogRecords, kAnalogRecords, AnalogInput::kAlarmSlots,
     L("ANALOG"), &kThresholdLayout, {}, nullptr, 0, AlarmEditorShape{},
     &slotsOf<&ConfigStore::Analog>},
}};

} // namespace

std::span<const AlarmMemberRow> alarmMembers()
{
    return kMembers;
}

QString alarmSlotCaption(int slot)
{
    static const char *const captions[] = {"Configuracion 0", "Configuracion 1", "Configuracion 2",
                                           "Configuracion 3"};
    return slot >= 0 && slot < int(std::size(captions)) ? Translate(QString::fromLatin1(captions[slot])) : QString();
}

const AlarmMemberRow &alarmMember(AlarmMember member)
{
    return *std::find_if(kMembers.begin(), kMembers.end(),
                         [member](const AlarmMemberRow &row) { return row.member == member; });
}

std::span<AlarmConfig> alarmSlots(const AlarmMemberRow &row, ConfigStore &store, int channel)
{
    if (channel < 0 || channel >= row.records)
        return {};
    return row.slotsOf(store, channel);
}

std::span<const AlarmConfig> alarmSlots(const AlarmMemberRow &row, const ConfigStore &store,
                                        int channel)
{
    // The accessor only locates the slots; nothing is written through it here.
    return alarmSlots(row, const_cast<ConfigStore &>(store), channel);
}
