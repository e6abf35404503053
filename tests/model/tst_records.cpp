#include <gtest/gtest.h>

#include "model/alarmconfig.h"
#include "model/configstore.h"

namespace {

TEST(AlarmConfig, ClearRestoresDefaultsActionListsIncluded)
{
    AlarmConfig alarm;
    alarm.Enabled = alarm.RestoreMessage = alarm.Resend = true;
    alarm.NotifySms = alarm.NotifyVoice = alarm.NotifyGprs = true;
    alarm.Text = QStringLiteral("Nivel alto");
    alarm.Low = alarm.High = alarm.Hysteresis = alarm.Persistence = alarm.Rearm = 3.5f;
    alarm.Window = {false, QTime(8, 0), QTime(17, 30), 31};
    alarm.EnableFlag = 4;
    alarm.ActionsHigh = {1, 2, 3, 0, 0, 0, 0, 9};
    alarm.ActionsLow = {4, 0, 0, 0, 0, 0, 0, 0};
    alarm.ActionsNormal = {0, 0, 0, 0, 0, 0, 0, 7};

    alarm.clear();

    AlarmConfig expected;
    expected.Window = {true, QTime(0, 0), QTime(0, 0), 127};
    EXPECT_FALSE(alarm.Enabled || alarm.RestoreMessage || alarm.Resend);
    EXPECT_FALSE(alarm.NotifySms || alarm.NotifyVoice || alarm.NotifyGprs);
    EXPECT_EQ(alarm.Text, expected.Text);
    for (float field : {alarm.Low, alarm.High, alarm.Hysteresis, alarm.Persistence, alarm.Rearm})
        EXPECT_EQ(field, 0.f);
    EXPECT_EQ(alarm.Window.Always, expected.Window.Always);
    EXPECT_EQ(alarm.Window.Start, expected.Window.Start);
    EXPECT_EQ(alarm.Window.Stop, expected.Window.Stop);
    EXPECT_EQ(alarm.Window.Weekdays, expected.Window.Weekdays);
    EXPECT_EQ(alarm.EnableFlag, 0);
    EXPECT_EQ(alarm.ActionsHigh, expected.ActionsHigh);
    EXPECT_EQ(alarm.ActionsLow, expected.ActionsLow);
    EXPECT_EQ(alarm.ActionsNormal, expected.ActionsNormal);
}

TEST(ConfigStore, StartsAllZeroUntilTheSectionsClearIt)
{
    const ConfigStore store;
    const AlarmConfig alarm;
    EXPECT_FALSE(alarm.Window.Always);
    EXPECT_EQ(alarm.Window.Weekdays, 0);
    EXPECT_EQ(alarm.Window.Start, QTime(0, 0));
    EXPECT_EQ(alarm.ActionsHigh, ActionList{});
    EXPECT_EQ(store.ActionBuffer.Codes, (std::array<qint16, 9>{}));
}

TEST(ActionBuffer, HandsAListOverAndBack)
{
    ConfigStore store;
    store.ActionBuffer.Codes[8] = 99;
    const ActionList sent = {5, -1, 0, 12, 0, 0, 0, 3};
    store.ActionBuffer.load(sent);
    EXPECT_EQ(store.ActionBuffer.Codes, (std::array<qint16, 9>{5, -1, 0, 12, 0, 0, 0, 3, 99}));

    store.ActionBuffer.Codes[1] = 40;
    ActionList back{};
    store.ActionBuffer.storeTo(back);
    EXPECT_EQ(back, (ActionList{5, 40, 0, 12, 0, 0, 0, 3}));
}

} // namespace

TEST(ActionListText, SendsOnlyCodesAboveZeroInSlotOrder)
{
    EXPECT_EQ(ActionListText(ActionList{}), QString());
    EXPECT_EQ(ActionListText(ActionList{5, 0, 0, 12, 0, 0, 0, 0}), QStringLiteral(" 5 12"));
    EXPECT_EQ(ActionListText(ActionList{0, -3, 0, 0, 0, 0, 0, 109}), QStringLiteral(" 109"));
}
