#include "ptyserver.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "unitengine.h"

namespace {
constexpr int kPaceTickMs = 10;
constexpr qint64 kBurst = 16;   // bytes a paced line may move at once after a pause
constexpr qint64 kReadChunk = 4096;
} // namespace

PtyServer::PtyServer(UnitEngine &engine, int baud, QObject *parent)
    : QObject(parent), engine_(engine), bytesPerSecond_(baud > 0 ? baud / 10 : 0)
{
    clock_.start();
    releaseTimer_.setSingleShot(true);
    releaseTimer_.setTimerType(Qt::PreciseTimer);
    connect(&releaseTimer_, &QTimer::timeout, this, &PtyServer::releaseDue);
    paceTimer_.setSingleShot(true);
    paceTimer_.setTimerType(Qt::PreciseTimer);
    connect(&paceTimer_, &QTimer::timeout, this, [this] {
        readable_->setEnabled(true);
        writeOutput();
    });
    quietTimer_.setSingleShot(true);
    quietTimer_.setInterval(UnitEngine::kQuietMs);
    connect(&quietTimer_, &QTimer::timeout, this, [this] { engine_.lineQuiet(); });
}

PtyServer::~PtyServer()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PtyServer::open()
{
    const auto fail = [this](const char *step) {
        error_ = QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(strerror(errno)));
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return fail("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        return fail("grantpt/unlockpt");
    const char *name = ::ptsname(master_);
    if (!name)
        return fail("ptsname");
    devicePath_ = QString::fromLocal8Bit(name);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0)
        return fail("open slave");
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0)
        return fail("tcsetattr");

    readable_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readable_, &QSocketNotifier::activated, this, &PtyServer::readInput);
    writable_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writable_->setEnabled(false);
    connect(writable_, &QSocketNotifier::activated, this, &PtyServer::writeOutput);
    return true;
}

// Bytes a paced direction may move now: the line's rate since the budget
// started, less what was moved. After a pause the line starts afresh with
// only a short burst; while the pacing holds the direction back, the line is
// busy all along, and a pacing timer that fires late must not cost it time.
qint64 PtyServer::allowance(qint64 &budgetStart, qint64 &used, bool &heldBack) const
{
    if (bytesPerSecond_ == 0)
        return kReadChunk;
    const qint64 now = clock_.elapsed();
    qint64 allowed = (now - budgetStart) * bytesPerSecond_ / 1000 - used;
    if (allowed > kBurst && !heldBack) {
        budgetStart = now - kBurst * 1000 / bytesPerSecond_;
        used = 0;
        allowed = kBurst;
    }
    heldBack = false;
    return allowed;
}

void PtyServer::readInput()
{
    const qint64 max = std::min(allowance(readStart_, readUsed_, readHeld_), kReadChunk);
    if (max <= 0) {
        readHeld_ = true;
        readable_->setEnabled(false);
        paceTimer_.start(kPaceTickMs);
        return;
    }
    QByteArray bytes(max, Qt::Uninitialized);
    const ssize_t n = ::read(master_, bytes.data(), bytes.size());
    if (n <= 0) {
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            // No slave open: wait instead of being woken over and over.
            readable_->setEnabled(false);
            paceTimer_.start(100);
        }
        return;
    }
    bytes.truncate(n);
    readUsed_ += n;

    const qint64 now = clock_.elapsed();
    schedule_.add(engine_.feed(bytes, now), now);
    quietTimer_.start();
    releaseDue();
}

void PtyServer::releaseDue()
{
    const qint64 now = clock_.elapsed();
    output_ += schedule_.takeDue(now);
    if (!schedule_.isEmpty())
        releaseTimer_.start(int(schedule_.wait(now)));
    writeOutput();
}

void PtyServer::writeOutput()
{
    while (!output_.isEmpty()) {
        const qint64 max = std::min<qint64>(allowance(writeStart_, writeUsed_, writeHeld_), output_.size());
        if (max <= 0) {
            writeHeld_ = true;
            writable_->setEnabled(false);
            paceTimer_.start(kPaceTickMs);
            return;
        }
        const ssize_t n = ::write(master_, output_.constData(), max);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                writable_->setEnabled(true);
                return;
            }
            output_.clear();
            break;
        }
        output_.remove(0, n);
        writeUsed_ += n;
    }
    writable_->setEnabled(false);
}
