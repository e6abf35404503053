#include "branchpage.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "widgets/namedwidget.h"

namespace {

// Buttons per row: a branch of sixteen flags stays a short block.
constexpr int kColumns = 4;

} // namespace

BranchPage::BranchPage(QWidget *parent)
    : QWidget(parent), Titulo(named(new QLabel(this), "Titulo")), hint_(new QLabel(this)),
      buttons_(new QGridLayout)
{
    setObjectName(QStringLiteral("BranchPage"));
    makeHeading(Titulo);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 6, 12, 12);
    layout->addWidget(Titulo);
    layout->addWidget(hint_);
    layout->addLayout(buttons_);
    layout->addStretch(1);
    buttons_->setColumnStretch(kColumns, 1);
}

void BranchPage::showBranch(const QString &caption, const QList<Child> &children)
{
    Titulo->setText(caption);
    hint_->setText(Translate(QStringLiteral("Contiene:")));
    // Later: the button clicked may be the one that asked for this branch.
    while (QLayoutItem *item = buttons_->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    for (int i = 0; i < children.size(); ++i) {
        auto *button = new QPushButton(children[i].caption, this);
        button->setObjectName(children[i].key);
        connect(button, &QPushButton::clicked, this, [this, key = children[i].key] { emit childChosen(key); });
        buttons_->addWidget(button, i / kColumns, i % kColumns);
    }
}
