#include "terminal.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

#include "files/atomicsave.h"
#include "files/langtable.h"
#include "link/framecodec.h"
#include "link/unitconnection.h"
#include "rtftext.h"
#include "widgets/namedwidget.h"
#include "widgets/savename.h"
#include "widgets/unitcontrols.h"
#include "shell/filecommands.h"

namespace {

constexpr int kTickMs = 100;

const QString kRtfFilter = QStringLiteral("Archivo de texto enriquecido (*.rtf)|*.rtf|Todos los ficheros (*.*)|*.*");
const QString kTraceFilter = QStringLiteral("Traza de la linea (*.trace)|*.trace|Todos los ficheros (*.*)|*.*");

QPushButton *button(const char *objectName, QWidget *parent)
{
    return named(new QPushButton(parent), objectName);
}

// The frames the operator sent, apart from the unit's text.
QTextCharFormat sentFormat()
{
    QTextCharFormat format;
    format.setForeground(QColor(0, 0, 160));
    return format;
}

} // namespace

Terminal::Terminal(UnitConnection &unit, UserMessage message, QWidget *parent)
    : QWidget(parent),
      Titulo(named(new QLabel(this), "Titulo")),
      TextWin(named(new QPlainTextEdit(this), "TextWin")),
      TextComando(named(new QLineEdit(this), "TextComando")),
      EnviarBut(button("EnviarBut", this)),
      TextTrama(named(new QLineEdit(this), "TextTrama")),
      TramaBut(button("TramaBut", this)),
      EnviarFrame(named(new QGroupBox(this), "EnviarFrame")),
      TraceEnable(button("TraceEnable", this)),
      TraceDisable(button("TraceDisable", this)),
      BorrarBut(button("BorrarBut", this)),
      SaveBut(button("SaveBut", this)),
      TraceSaveBut(button("TraceSaveBut", this)),
      Timer1(named(new QTimer(this), "Timer1")),
      unit_(unit),
      message_(std::move(message))
{
    setObjectName(QStringLiteral("Terminal"));
    active = [this] { return isVisible() && isActiveWindow(); };
    askSavePath = [this](const QString &filter, const QString &suggestedName) {
        return askSaveFile(this, filter, suggestedName);
    };

    makeHeading(Titulo);
    TextWin->setReadOnly(true);
    TextWin->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    TextWin->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    TextWin->setLineWrapMode(QPlainTextEdit::NoWrap);
    TextWin->setMaximumBlockCount(kMaxLines);

    auto *sending = new QGridLayout(EnviarFrame);
    sending->addWidget(TextComando, 0, 0);
    sending->addWidget(EnviarBut, 0, 1);
    sending->addWidget(TextTrama, 1, 0);
    sending->addWidget(TramaBut, 1, 1);
    sending->setColumnStretch(0, 1);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {TraceEnable, TraceDisable, BorrarBut, SaveBut, TraceSaveBut})
        buttons->addWidget(b);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Titulo);
    layout->addWidget(TextWin, 1);
    layout->addWidget(EnviarFrame);
    layout->addLayout(buttons);

    connect(EnviarBut, &QPushButton::clicked, this, &Terminal::EnviarBut_Click);
    connect(TramaBut, &QPushButton::clicked, this, &Terminal::TramaBut_Click);
    connect(TextComando, &QLineEdit::returnPressed, EnviarBut, &QPushButton::click);
    connect(TextTrama, &QLineEdit::returnPressed, TramaBut, &QPushButton::click);
    connect(TraceEnable, &QPushButton::clicked, this, &Terminal::TraceEnable_Click);
    connect(TraceDisable, &QPushButton::clicked, this, &Terminal::TraceDisable_Click);
    connect(BorrarBut, &QPushButton::clicked, this, &Terminal::BorrarBut_Click);
    connect(SaveBut, &QPushButton::clicked, this, &Terminal::SaveBut_Click);
    connect(TraceSaveBut, &QPushButton::clicked, this, &Terminal::TraceSaveBut_Click);
    connect(Timer1, &QTimer::timeout, this, &Terminal::Timer1_Timer);
    enableWhileConnected(unit_, this, {TextComando, EnviarBut, TextTrama, TramaBut, TraceEnable, TraceDisable});

    onLanguageChange(this, &Terminal::LoadText);
    LoadText();
}

void Terminal::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Timer1->start(kTickMs);
}

void Terminal::hideEvent(QHideEvent *event)
{
    Timer1->stop();
    QWidget::hideEvent(event);
}

void Terminal::LoadText()
{
    setWindowTitle(Translate(QStringLiteral("Terminal")));
    Titulo->setText(windowTitle());
    EnviarFrame->setTitle(Translate(QStringLiteral("Enviar")));
    EnviarBut->setText(Translate(QStringLiteral("Enviar comando")));
    TramaBut->setText(Translate(QStringLiteral("Enviar trama")));
    TraceEnable->setText(Translate(QStringLiteral("Habilitar Trazas")));
    TraceDisable->setText(Translate(QStringLiteral("Inhibir Trazas")));
    BorrarBut->setText(Translate(QStringLiteral("Borrar")));
    SaveBut->setText(Translate(QStringLiteral("Salvar")));
    TraceSaveBut->setText(Translate(QStringLiteral("Guardar traza")));
}

// Written once, nothing awaited: the answer reaches the console through the tick.
void Terminal::send(const QString &commandText)
{
    if (unit_.sendText(commandText) && unit_.isConnected())
        appendSent(FrameCodec::framedText(commandText));
}

void Terminal::EnviarBut_Click()
{
    if (!TextComando->text().isEmpty())
        send(QStringLiteral("#01") + TextComando->text());
}

void Terminal::TramaBut_Click()
{
    if (!TextTrama->text().isEmpty())
        send(TextTrama->text());
}

void Terminal::TraceEnable_Click()
{
    send(QStringLiteral("#041"));
}

void Terminal::TraceDisable_Click()
{
    send(QStringLiteral("#040"));
}

void Terminal::BorrarBut_Click()
{
    TextWin->clear();
    pendingCR_ = false;
}

void Terminal::Timer1_Timer()
{
    if (!unit_.isConnected() || !active() || unit_.linkBusy())
        return;
    // Only what has come: no wait, so nothing can start inside the read.
    appendToConsole(unit_.readPending(kMaxCharsPerTick));
}

// CR, LF and CR LF each end one line, also when the pair is split over two ticks.
void Terminal::appendToConsole(const QString &received)
{
    if (received.isEmpty())
        return;
    QString text;
    text.reserve(received.size());
    for (const QChar c : received) {
        const bool lf = c == u'\n';
        if (lf && pendingCR_) {
            pendingCR_ = false;
            continue;
        }
        pendingCR_ = c == u'\r';
        text += (lf || pendingCR_) ? QChar(u'\n') : c;
    }
    QTextCursor cursor(TextWin->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text, QTextCharFormat());
    QScrollBar *bar = TextWin->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// On a line of its own: a line the unit has not ended yet is ended first.
void Terminal::appendSent(const QString &frame)
{
    QTextCursor cursor(TextWin->document());
    cursor.movePosition(QTextCursor::End);
    if (!cursor.block().text().isEmpty())
        cursor.insertText(QStringLiteral("\n"), QTextCharFormat());
    cursor.insertText(kSentMark + frame, sentFormat());
    cursor.insertText(QStringLiteral("\n"), QTextCharFormat());
    pendingCR_ = false;
    QScrollBar *bar = TextWin->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// The console's lines as they stand (the plain-text export would turn
// no-break spaces into blanks).
QString Terminal::consoleText() const
{
    QStringList lines;
    for (QTextBlock block = TextWin->document()->firstBlock(); block.isValid(); block = block.next())
        lines << block.text();
    return lines.join(u'\n');
}

void Terminal::SaveBut_Click()
{
    saveAs(kRtfFilter, QStringLiteral("terminal"), [this] { return RtfText::document(consoleText()); });
}

// The link's trace for support: the last frames that passed, whoever sent them.
void Terminal::TraceSaveBut_Click()
{
    saveAs(kTraceFilter, QStringLiteral("trace"), [this] { return unit_.traceText(); });
}

void Terminal::saveAs(const QString &fileFilter, const QString &namePrefix,
                      const std::function<QByteArray()> &bytes)
{
    const QString filter = FileCommands::translatedFilter(fileFilter);
    const QString extension = filterExtension(filter);
    const QString path = withExtension(
        askSavePath(filter, suggestedFileName(namePrefix, unit_.Device.SerialNumber, extension)), extension);
    if (path.isEmpty())
        return;
    QString error;
    if (SaveWholeFile(path, bytes(), &error))
        return;
    message_(QMessageBox::Warning,
             Translate(QStringLiteral("No se pudo guardar el archivo")) + QStringLiteral("\n\n") + error,
             QMessageBox::Ok);
}
