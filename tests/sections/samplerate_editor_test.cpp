// The pulse settings window: what it shows and stores back, when it clears,
// and the firmware warning.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>

#include "../link/scriptedunit.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "link/fakeserialport.h"
#include "model/configstore.h"
#include "sections/flow/samplerateeditor.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"

namespace {

class SampleRateWindow : public ::testing::Test {
protected:
    SampleRateWindow()
    {
        setLang(&lang);
        registerSections(sections);
        sections.clearAll(store);
    }
    ~SampleRateWindow() override { setLang(nullptr); }

    SampleRate &window()
    {
        if (!window_)
            window_ = std::make_unique<SampleRate>(link.connection, store, sections);
        return *window_;
    }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    UnitLink link;
    ConfigStore store;
    SectionRegistry sections;
    std::unique_ptr<SampleRate> window_;
};

TEST_F(SampleRateWindow, ShowsAndStoresTheRateAndTheWeights)
{
    window();
    EXPECT_TRUE(window().WarningMsg->isHidden()) << "no warning for 64 Hz";
    store.SampleRate = 256;
    store.Flow[1].TotalRatio = 0.01f;
    window().LoadData();
    EXPECT_EQ(window().ComboSampleRate->currentText(), "256Hz");
    EXPECT_FALSE(window().WarningMsg->isHidden()) << "256 Hz costs battery";
    EXPECT_EQ(window().ComboT[0]->currentText(), "1m3");
    EXPECT_EQ(window().ComboT[1]->currentText(), "0.01m3");
    ASSERT_EQ(window().ComboT.size(), 8);

    window().ComboSampleRate->setCurrentIndex(0);
    EXPECT_TRUE(window().WarningMsg->isHidden()) << "no warning for 64 Hz";
    window().ComboT[7]->setCurrentText("10m3");
    window().StoreControls();
    EXPECT_EQ(store.SampleRate, 64);
    EXPECT_EQ(store.Flow[7].TotalRatio, 10.f);
    EXPECT_EQ(store.Flow[1].TotalRatio, 0.01f);
}

TEST_F(SampleRateWindow, AWeightNoItemOffersSurvivesLeavingAndSaving)
{
    window();
    store.Flow[2].TotalRatio = 0.5f; // from the unit
    store.Flow[3].TotalRatio = 0;    // from a file without the key
    window().LoadData();
    EXPECT_EQ(window().ComboT[2]->currentIndex(), -1);
    EXPECT_EQ(window().ComboT[3]->currentIndex(), -1);

    EditorRegistry editors;
    editors.addEditor("SampleRate", &window());
    editors.storeAll(SectionRegistry::fileOrder()); // what a save does first
    window().StoreControls();                       // what leaving the window does
    EXPECT_EQ(store.Flow[2].TotalRatio, 0.5f);
    EXPECT_EQ(store.Flow[3].TotalRatio, 0.f);
    EXPECT_EQ(store.Flow[0].TotalRatio, 1.f);
}

TEST_F(SampleRateWindow, OnlyTheStartUpResetClearsTheSection)
{
    ConfigStore fresh; // the model as the program starts
    fresh.Flow[0].TotalRatio = 0;
    fresh.SampleRate = 0;
    SampleRate editor(link.connection, fresh, sections);
    EXPECT_EQ(fresh.SampleRate, 0); // creating the window clears nothing

    EditorRegistry editors;
    editors.addEditor("SampleRate", &editor);
    editors.clearAll(fresh, sections);
    EXPECT_EQ(fresh.SampleRate, 64);
    EXPECT_EQ(editor.ComboT[0]->currentText(), "1m3");
    const QStringList lines = sections.uploadLines(fresh, {Feature::PulseWeight});
    EXPECT_TRUE(lines.contains("TOTALRATIO0= 1"));
}

TEST_F(SampleRateWindow, FirmwareWarningOnlyWhileConnectedToAUnitWithoutWeights)
{
    window().Timer1_Timer();
    EXPECT_TRUE(window().WarningText->isHidden());

    link.port.close();
    link.unit.answer("#40", "#BF");
    ASSERT_TRUE(link.connection.connectUnit({QStringLiteral("COM1"), false, {}}));
    for (const quint32 features : {quint32(0), quint32(Feature::PulseWeight)}) {
        link.connection.Device.DeviceFeatures = features;
        window().Timer1_Timer();
        EXPECT_EQ(window().WarningText->isHidden(), features != 0);
        EXPECT_EQ(window().Warning->isHidden(), features != 0);
        // The weights cannot be set on that unit: the combos say why.
        for (const QComboBox *combo : window().ComboT) {
            EXPECT_EQ(combo->isEnabled(), features != 0);
            EXPECT_EQ(combo->toolTip(), features != 0 ? QString() : window().WarningText->text());
        }
    }
    EXPECT_EQ(window().WarningText->text(),
              "La version de firmware del Velkan Sarn no soporta la configuracion del peso por "
              "pulso en los totalizadores.");
}

} // namespace
