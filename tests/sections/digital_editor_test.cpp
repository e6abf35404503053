// The digital input window: name and contact type around the alarm block.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/digital/digitaleditor.h"
#include "sections/sectionlist.h"

namespace {

TEST(DigitalWindow, NameAndContactTypeOfTheShownInput)
{
    SectionRegistry sections;
    registerSections(sections);
    ConfigStore store;
    sections.clearAll(store);
    store.Digital[2].Name = "Puerta";
    store.Digital[2].NC = true;
    store.Digital[8].Name = "Red";
    E_Digital window(store, sections, [](ActionBuffer &) {});
    window.ChangeIndex(2);
    EXPECT_EQ(window.windowTitle(), "Configuracion entrada digital");
    EXPECT_EQ(window.Nombre->text(), "Puerta");
    EXPECT_TRUE(window.Int_NC->isChecked());
    ASSERT_NE(window.Rearm, nullptr);

    window.Int_NA->click();
    QTest::keyClicks(window.Nombre, ",1");
    window.ChangeIndex(3);
    EXPECT_FALSE(store.Digital[2].NC);
    EXPECT_EQ(store.Digital[2].Name, "Puerta1");
    EXPECT_TRUE(window.Int_NA->isChecked());

    window.Int_NC->click();
    window.ChangeIndex(8); // DI8 is never shown
    EXPECT_EQ(window.ChannelIndex(), 3);
    window.StoreControls();
    EXPECT_TRUE(store.Digital[3].NC);
    EXPECT_EQ(store.Digital[8].Name, "Red");
}

} // namespace
