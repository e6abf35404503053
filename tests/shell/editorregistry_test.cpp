#include <gtest/gtest.h>

#include "fakeeditor.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/unitconnection.h"
#include "link/fakeserialport.h"
#include "model/configstore.h"
#include "shell/editorregistry.h"

namespace {

// A section core without an editor; its Clear goes into the same log.
class LoggingCore : public SectionCore {
public:
    LoggingCore(QStringList &log, QString name) : log_(log), name_(std::move(name)) {}
    QString name() const override { return name_; }
    void clear(ConfigStore &) const override { log_.append(name_ + " core clear"); }

private:
    QStringList &log_;
    QString name_;
};

TEST(EditorRegistry, ResetClearsEveryKnownSectionInTheStartUpOrder)
{
    QStringList log;
    EditorRegistry windows;
    windows.addEditor("General", new FakeEditor(log, "General"));
    windows.addEditor("Caudal", new FakeEditor(log, "Caudal"));
    SectionRegistry sections;
    sections.add(std::make_unique<LoggingCore>(log, "E_Analog"));
    sections.add(std::make_unique<LoggingCore>(log, "General")); // its editor clears it instead
    ConfigStore store;

    windows.clearAll(store, sections);

    EXPECT_EQ(log, QStringList({"Caudal Clear", "E_Analog core clear", "General Clear"}));
    qDeleteAll(windows.windows());
}

TEST(EditorRegistry, EditorsShowTheModelAfterEachDownload)
{
    QStringList log;
    EditorRegistry windows;
    windows.addEditor("General", new FakeEditor(log, "General"));
    windows.addEditor("Caudal", new FakeEditor(log, "Caudal"));
    windows.addTool("Terminal", new QWidget);
    Comms comms(std::make_unique<FakeSerialPort>());
    UnitConnection connection(comms);
    windows.followDownloads(connection);

    emit connection.configDownloaded();

    EXPECT_EQ(log, QStringList({"Caudal LoadData", "General LoadData"}));
    EXPECT_EQ(windows.windows().size(), 3);
    EXPECT_EQ(windows.window("Firm"), nullptr);
    qDeleteAll(windows.windows());
}

} // namespace

namespace {

// The windows the program registers, plus any given names.
QStringList nameFaultsWith(const QStringList &editors, const QStringList &tools)
{
    QStringList log;
    EditorRegistry windows;
    for (const QString &name : editors)
        windows.addEditor(name, new FakeEditor(log, name));
    for (const QString &name : tools)
        windows.addTool(name, new QWidget);
    const QStringList faults = windows.nameFaults();
    qDeleteAll(windows.windows());
    return faults;
}

TEST(EditorRegistry, WindowWalksNameOnlyKnownWindowsAndReachEveryRegisteredOne)
{
    const QStringList tools = {"T_Real_Zelmor", "Firm", "Terminal"};
    EXPECT_EQ(nameFaultsWith({"General", "Macros", "Caudal", "SampleRate"}, tools), QStringList());

    const QStringList misspelt = nameFaultsWith({"General", "Genral"}, {"Terminl"});
    EXPECT_EQ(misspelt, QStringList({"\"Genral\" is registered but no walk lists it",
                                     "\"Terminl\" is registered but no walk lists it"}));
}

} // namespace
