#include "commands.h"

#include "comparecommands.h"
#include "configcommands.h"
#include "firmwarecommand.h"
#include "historycommands.h"
#include "provisioncommand.h"
#include "readcommands.h"
#include "unitcommands.h"
#include "voicelistcommand.h"

const QList<CommandInfo> &commandTable()
{
    static const QList<CommandInfo> table = {
        {"ports", "", "list the serial ports, one per line", 0, false, nullptr, ports},
        {"info", "[--json]", "the unit's identity, capabilities and clock", 0, true, nullptr, info},
        {"read-config", "FILE.qcf", "download the whole configuration and save it", 1, true, nullptr, readConfig},
        {"write-config", "[--verify] FILE.qcf",
         "restore FILE and upload it to the unit; with --verify, download it again and compare:\n"
         "      \"verified\" when the unit holds what was sent, else exit status 1 and the differing\n"
         "      upload lines on standard error, one per line: section, key, sent, held, tab-separated;\n"
         "      a text holding the separator of its upload line, or a value the file holds that its window\n"
         "      cannot show as it stands, stops it (status 3) before anything is sent;\n"
         "      a configuration of another unit (read from it, or its copy in the service history) is\n"
         "      written with a warning, or with --strict not at all (status 3)",
         1, true, restoreFile, writeConfig},
        {"live", "[--json] [--count N] [--interval MS]", "poll the live values (CSV by default)", 0, true, nullptr, live},
        {"set-clock", "", "set the unit's clock to this computer's clock", 0, true, nullptr, setClock},
        {"output", "N on|off", "switch output N", 2, true, checkOutput, output},
        {"counter", "N VALUE", "preset totalizer counter N", 2, true, checkCounter, counter},
        {"voice-list", "read|write FILE.qcf",
         "read the unit's voice-call list into FILE, or write FILE's list to the unit;\n"
         "      read-config saves an empty voice list, so run voice-list read after it on one file",
         2, true, checkVoiceList, voiceList},
        {"diff", "[--json] A.qcf B.qcf",
         "list what the two configuration files hold differently, one per line: file section, key,\n"
         "      A's value, B's value, tab-separated (\"(absent)\" for a side without it; a whole section\n"
         "      on one side only is one line with no key); exit status 0 equal, 1 they differ",
         2, false, nullptr, diff},
        {"merge", "BASE.qcf OTHER.qcf (--take SECTION[.KEY] ... | --take-json FILE) -o OUT.qcf",
         "write BASE with the chosen sections or keys taken from OTHER into OUT; SECTION is a section\n"
         "      of the program (Caudal, GPRS) or of the file (\"CAUDAL 2\"); --take-json takes the rows of\n"
         "      a diff --json output, so that a script can review and choose; OUT records the unit BASE\n"
         "      came from (OTHER's when BASE records none and a value was taken from it)",
         2, false, nullptr, merge},
        {"show", "[--json] [--lang en] FILE [TEXT]",
         "list the file's fields as the program's windows show them, one per line: section, record, caption,\n"
         "      value with its unit, tab-separated; with TEXT only those whose caption, record, key or value\n"
         "      hold each of its words (accents and case ignored), records switched off last",
         1, false, nullptr, showCommand, 1},
        {"report", "FILE -o REPORT.pdf [--lang en] [--history SERIAL]",
         "write the commissioning report of the configuration as a PDF: the unit, the technician, the\n"
         "      last write of this configuration in the service history of SERIAL (else of the unit the\n"
         "      file names), and every record in use, section by section",
         1, false, nullptr, reportCommand},
        {"history", "[SERIAL | remote URL | sync | who SERIAL SECTION.KEY]",
         "list the units with a service history, one per line, or SERIAL's copies newest first: UTC time,\n"
         "      read|write|write-verified|write-differs, file, technician, tab-separated (read-config and\n"
         "      write-config keep a copy in the per-user data folder unless --no-history is given; each copy is\n"
         "      a commit of the folder's git repository, authored by --technician). \"remote URL\" sets the\n"
         "      team's repository (a folder, file://, git://, ssh:// or https:// with the token in\n"
         "      VELKAN_HISTORY_TOKEN); \"sync\" shares the copies both ways, the only time the network is used;\n"
         "      \"who\" gives the UTC time, technician, operation, value and file of the copy from which the\n"
         "      unit holds the key's present value",
         0, false, nullptr, historyCommand, 3},
        {"units", "",
         "the fleet: every unit of the service history with its name, last operation, its UTC time and\n"
         "      technician, the firmware at last contact and how the last write ended, tab-separated",
         0, false, nullptr, unitsCommand},
        {"firmware", "[--no-backup] IMAGE.hex LOADER.hex",
         "replace the unit's firmware (LOADER's name contains \"CopyFlash\"); both files must be Intel HEX,\n"
         "      else exit status 3 and nothing is sent. The unit's configuration is kept in the service\n"
         "      history first, and the update stops when that fails, unless --no-backup is given",
         2, true, readFirmware, firmware},
        {"provision", "TEMPLATE.qcf UNITS.csv [--report FILE] [--again] [--allow-unlisted] [--modem-column NAME] "
                      "[--progress json]",
         "write TEMPLATE with each unit's own values from UNITS (CSV: the serial, then \"Section.KEY\"\n"
         "      columns or the aliases name, own_number, sms_centre, retry_time, retry_count, apn,\n"
         "      apn_user, apn_password, server; an empty cell keeps the template's value) to one unit\n"
         "      after another on the port, each checked by a download and kept in the service history;\n"
         "      the table is checked whole first. The report (time, serial, status, differences,\n"
         "      history, detail) continues from run to run; units it has as applied are skipped.\n"
         "      Ends when every unit is applied, or on Ctrl-C after the current unit; exit status 1\n"
         "      when a unit failed. With --modem-column, calls each unit through the modem on the\n"
         "      port at the number in that column (the access key from --key), one after another.\n"
         "      With --port given several times, every port runs its own queue at the same time over\n"
         "      the same table and report: a unit is written once whichever port it comes to, and a\n"
         "      serial met on two ports at once is written on the first and refused on the other.\n"
         "      A port that fails or is lost does not stop the others; exit status 0 only when every\n"
         "      port ended well. --progress json prints one JSON line per event instead of the table",
         2, false, checkProvision, provision},
    };
    return table;
}

const QList<OptionsFn> &commandOptions()
{
    static const QList<OptionsFn> families = {configOptions, firmwareOptions, mergeOptions, liveOptions,
                                              provisionOptions, readOptions};
    return families;
}
