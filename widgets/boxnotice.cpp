#include "boxnotice.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolTip>

#include "files/langtable.h"

namespace {

const QString kNoticeName = QStringLiteral("boxNotice");
constexpr int kShownMs = 4000;

// Hides the balloon when its box loses the focus or is hidden.
class NoticeHider : public QObject {
public:
    explicit NoticeHider(QLabel *notice) : QObject(notice), notice_(notice) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide)
            notice_->hide();
        return false;
    }

private:
    QLabel *notice_;
};

const QString kLimitName = QStringLiteral("typingLimit");

// Watches the keys that add text to a box at its maximum length.
class TypingLimit : public QObject {
public:
    explicit TypingLimit(QLineEdit *box) : QObject(box), box_(box) { setObjectName(kLimitName); }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || box_->isReadOnly())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const qsizetype added = key->matches(QKeySequence::Paste) ? QGuiApplication::clipboard()->text().size()
                                : key->text().isEmpty() || !key->text().at(0).isPrint() ? 0
                                                                                         : key->text().size();
        const qsizetype kept = box_->text().size() - box_->selectedText().size();
        if (added > 0 && kept + added > box_->maxLength())
            showBoxNotice(box_, Translate(QStringLiteral("Este campo admite como maximo %1 caracteres"))
                                    .arg(box_->maxLength()));
        return false;
    }

private:
    QLineEdit *box_;
};

} // namespace

void tellTypingLimit(QLineEdit *box)
{
    if (!box->findChild<QObject *>(kLimitName, Qt::FindDirectChildrenOnly))
        box->installEventFilter(new TypingLimit(box));
}

QLabel *boxNotice(const QWidget *box)
{
    return box->findChild<QLabel *>(kNoticeName, Qt::FindDirectChildrenOnly);
}

void showBoxNotice(QWidget *box, const QString &text)
{
    QLabel *notice = boxNotice(box);
    if (!notice) {
        notice = new QLabel(box, Qt::ToolTip);
        notice->setObjectName(kNoticeName);
        notice->setPalette(QToolTip::palette());
        notice->setFont(QToolTip::font());
        notice->setAutoFillBackground(true);
        notice->setFrameStyle(QFrame::Box | QFrame::Plain);
        notice->setMargin(3);
        auto *timer = new QTimer(notice);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, notice, &QWidget::hide);
        box->installEventFilter(new NoticeHider(notice));
    }
    notice->setText(text);
    notice->adjustSize();
    notice->move(box->mapToGlobal(QPoint(0, box->height())));
    notice->show();
    notice->findChild<QTimer *>()->start(kShownMs);
}
