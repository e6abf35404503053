#include "keyinput.h"

#include <QFile>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// Turns the terminal's echo off for as long as it lives, when standard input is one.
class NoEcho {
public:
    NoEcho()
    {
#ifdef Q_OS_WIN
        handle_ = GetStdHandle(STD_INPUT_HANDLE);
        active_ = _isatty(_fileno(stdin)) && GetConsoleMode(handle_, &saved_)
                  && SetConsoleMode(handle_, saved_ & ~ENABLE_ECHO_INPUT);
#else
        active_ = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_) == 0;
        if (active_) {
            termios quiet = saved_;
            quiet.c_lflag &= ~tcflag_t(ECHO);
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
            fputs("Access key: ", stderr);
        }
#endif
    }
    ~NoEcho()
    {
        if (!active_)
            return;
#ifdef Q_OS_WIN
        SetConsoleMode(handle_, saved_);
#else
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
        fputs("\n", stderr);
#endif
    }
    NoEcho(const NoEcho &) = delete;
    NoEcho &operator=(const NoEcho &) = delete;

private:
    bool active_ = false;
#ifdef Q_OS_WIN
    HANDLE handle_;
    DWORD saved_ = 0;
#else
    termios saved_{};
#endif
};

QString firstLine(QFile &file)
{
    QByteArray line = file.readLine(1024);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromLocal8Bit(line);
}

} // namespace

KeyInput readAccessKey(const QString &keyOption, const QString &keyFile)
{
    if (!keyOption.isEmpty() && !keyFile.isEmpty())
        return {{}, QStringLiteral("--key and --key-file exclude each other.")};
    if (keyOption != QLatin1String("-") && keyFile.isEmpty())
        return {keyOption, {}};
    QFile file;
    if (keyFile.isEmpty()) {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return {{}, QStringLiteral("Cannot read the access key from standard input.")};
        const NoEcho quiet;
        return {firstLine(file), {}};
    }
    file.setFileName(keyFile);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("Cannot read the access key file %1: %2.").arg(keyFile, file.errorString())};
    return {firstLine(file), {}};
}
