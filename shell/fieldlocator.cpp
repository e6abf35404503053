#include "fieldlocator.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

#include "files/fieldcatalogue.h"

namespace {

constexpr int kHighlightMs = 1500;

// A caption as the windows write it, without the ":" of a label or the
// place in a list ("Telefono (2)").
QString bare(QString caption)
{
    caption.remove(QRegularExpression(QStringLiteral("\\s*\\(\\d+\\)$")));
    caption = caption.trimmed();
    if (caption.endsWith(u':'))
        caption.chop(1);
    return caption.trimmed();
}

bool shown(const QWidget *widget)
{
    return widget->isVisibleTo(widget->window());
}

template <typename T, typename Text> T *childByText(QWidget *scope, const QString &caption, Text text)
{
    const QList<T *> children = scope->findChildren<T *>();
    for (T *child : children) {
        if (shown(child) && bare(text(child)) == caption)
            return child;
    }
    return nullptr;
}

// The first control that takes the cursor inside a frame.
QWidget *firstControl(QWidget *frame)
{
    const QList<QWidget *> children = frame->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (shown(child) && child->isEnabled() && child->focusPolicy() != Qt::NoFocus)
            return child;
    }
    return nullptr;
}

// The first control of a layout item that takes the cursor: the widget, or
// the first such widget of a nested row ("30 Segundos").
QWidget *focusable(QLayoutItem *item)
{
    if (QWidget *widget = item->widget())
        return shown(widget) && widget->focusPolicy() != Qt::NoFocus ? widget : nullptr;
    QLayout *nested = item->layout();
    for (int i = 0; nested && i < nested->count(); ++i) {
        if (QWidget *widget = focusable(nested->itemAt(i)))
            return widget;
    }
    return nullptr;
}

// The control after a label in its layout, when the label has no buddy.
QWidget *labelled(QLabel *label)
{
    if (label->buddy())
        return label->buddy();
    QWidget *parent = label->parentWidget();
    if (!parent)
        return nullptr;
    const QList<QLayout *> layouts = QList<QLayout *>{parent->layout()} + parent->findChildren<QLayout *>();
    for (QLayout *candidate : layouts) {
        const int at = candidate ? candidate->indexOf(label) : -1;
        for (int next = at + 1; at >= 0 && next < candidate->count(); ++next) {
            if (QWidget *widget = focusable(candidate->itemAt(next)))
                return widget;
        }
    }
    return nullptr;
}

// The control a caption names inside scope.
QWidget *captioned(QWidget *scope, const QString &caption)
{
    if (auto *button = childByText<QAbstractButton>(scope, caption, [](QAbstractButton *b) { return b->text(); }))
        return button;
    if (auto *label = childByText<QLabel>(scope, caption, [](QLabel *l) { return l->text(); }))
        return labelled(label);
    if (auto *frame = childByText<QGroupBox>(scope, caption, [](QGroupBox *g) { return g->title(); }))
        return firstControl(frame);
    // A control whose caption is not written beside it carries it as its name.
    return childByText<QWidget>(scope, caption, [](QWidget *w) { return w->accessibleName(); });
}

// What the operator changes so that a disabled control takes input: the
// first control that does in the frames around it ("Siempre" for "Inicio").
QWidget *enablingControl(QWidget *control)
{
    for (QWidget *frame = control->parentWidget(); frame && frame != control->window(); frame = frame->parentWidget()) {
        if (!qobject_cast<QGroupBox *>(frame))
            continue;
        if (QWidget *enabling = firstControl(frame))
            return enabling;
    }
    return nullptr;
}

// The frame of a window showing several records that holds this one: its
// title ends in the record's number ("Temporizador 5").
QWidget *recordFrame(QWidget *window, const CatalogueField &field)
{
    const QString number = recordNumber(field.item);
    if (number.isEmpty())
        return window;
    const QList<QGroupBox *> frames = window->findChildren<QGroupBox *>();
    QList<QGroupBox *> numbered;
    for (QGroupBox *frame : frames) {
        if (shown(frame) && frame->title().trimmed().endsWith(u' ' + number))
            numbered << frame;
    }
    return numbered.size() == 1 ? numbered.first() : window;
}

} // namespace

QWidget *locateField(QWidget *window, const CatalogueField &field)
{
    if (!window)
        return nullptr;
    if (auto *named = window->findChild<QWidget *>(field.key.trimmed()); named && shown(named))
        return named;
    QWidget *scope = recordFrame(window, field);
    QStringList parts = field.caption.split(QStringLiteral(" - "));
    const QString last = bare(parts.takeLast());
    // The captions before the field's name a slot to select, or a frame.
    for (const QString &part : std::as_const(parts)) {
        const QString caption = bare(part);
        if (auto *slot = childByText<QAbstractButton>(scope, caption, [](QAbstractButton *b) { return b->text(); }))
            slot->click();
        else if (auto *frame = childByText<QGroupBox>(scope, caption, [](QGroupBox *g) { return g->title(); }))
            scope = frame;
    }
    return captioned(scope, last);
}

void highlightField(QWidget *control)
{
    QWidget *focused = control->isEnabled() ? control : enablingControl(control);
    if (focused)
        focused->setFocus(Qt::OtherFocusReason);
    const QString sheet = control->styleSheet();
    control->setStyleSheet(sheet + QStringLiteral("\nbackground-color: #fff176;"));
    QTimer::singleShot(kHighlightMs, control, [control = QPointer<QWidget>(control), sheet] {
        if (control)
            control->setStyleSheet(sheet);
    });
}
