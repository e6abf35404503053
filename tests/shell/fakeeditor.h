#pragma once

#include <QStringList>

#include "shell/sectioneditor.h"

// A section window that writes down what the shell asks of it.
class FakeEditor : public SectionEditor {
public:
    explicit FakeEditor(QStringList &log, QString name) : log_(log), name_(std::move(name))
    {
        resize(200, 100);
    }

    void LoadText() override { note("LoadText"); }
    void ChangeIndex(int newIndex) override { note("ChangeIndex " + QString::number(newIndex)); }
    void Clear() override { note("Clear"); }
    void LoadData() override { note("LoadData"); }
    void StoreControls() override { note("StoreControls"); }

private:
    void note(const QString &what) { log_.append(name_ + ' ' + what); }

    QStringList &log_;
    QString name_;
};
