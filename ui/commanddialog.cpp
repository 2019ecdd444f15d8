// SPDX-License-Identifier: MIT
#include "ui/commanddialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tess {

CommandDialog::CommandDialog(const QList<TestCommand>& commands, QWidget* parent)
    : QDialog(parent), commands_(commands) {
    setObjectName(QStringLiteral("CommandDialog"));
    setWindowTitle(QStringLiteral("Befehle bearbeiten"));
    list = new QListWidget(this);
    list->setObjectName(QStringLiteral("list"));
    list->setMaximumWidth(170);
    auto named = [this]<class W>(W* w, const char* n) {
        w->setObjectName(QString::fromLatin1(n));
        return w;
    };
    name = named(new QLineEdit(this), "name");
    program = named(new QLineEdit(this), "program");
    program->setPlaceholderText(QStringLiteral("z. B. /usr/bin/meinspiel"));
    arguments = named(new QLineEdit(this), "arguments");
    arguments->setPlaceholderText(QStringLiteral("z. B. --level %level \"%pack\""));
    folder = named(new QLineEdit(this), "folder");
    folder->setPlaceholderText(QStringLiteral("leer: der Ordner des Levelpacks"));
    shortcut = named(new QKeySequenceEdit(this), "shortcut");
    shortcut->setClearButtonEnabled(true);
    savefirst = named(new QCheckBox(QStringLiteral("Levelpack vorher &speichern"), this), "savefirst");
    add = named(new QPushButton(QStringLiteral("&Neu"), this), "add");
    remove = named(new QPushButton(QStringLiteral("&Entfernen"), this), "remove");
    up = named(new QPushButton(QStringLiteral("Nach o&ben"), this), "up");
    down = named(new QPushButton(QStringLiteral("Nach &unten"), this), "down");

    browse = named(new QPushButton(QStringLiteral("&Durchsuchen..."), this), "browse");
    chooseprogram = [this](const QString& current) {
        const QFileInfo info(current);
        return QFileDialog::getOpenFileName(this, QStringLiteral("Programm auswählen"),
                                            info.isAbsolute() ? info.absolutePath() : QString());
    };
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = chooseprogram(program->text().trimmed());
        if (chosen.isEmpty()) return;
        program->setText(QDir::toNativeSeparators(chosen));
        program->setFocus();
    });
    auto* programrow = new QHBoxLayout;
    programrow->addWidget(program, 1);
    programrow->addWidget(browse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("N&ame:"), name);
    auto* programlabel = new QLabel(QStringLiteral("&Programm:"), this);
    programlabel->setBuddy(program); // a row of two widgets takes no buddy of its own
    form->addRow(programlabel, programrow);
    form->addRow(QStringLiteral("A&rgumente:"), arguments);
    form->addRow(QStringLiteral("Arbeits&ordner:"), folder);
    form->addRow(QStringLiteral("&Tastenkürzel:"), shortcut);
    form->addRow(QString(), savefirst);
    auto* hint = new QLabel(QStringLiteral("%pack: die Datei des Levelpacks (ohne Speichern eine Kopie dessen, was "
                                           "Speichern jetzt schreiben würde)\n%level: die Nummer des Levels (1..111)\n"
                                           "%dir: der Ordner des Levelpacks\nDer erste Befehl startet auch mit F5."),
                            this);
    hint->setWordWrap(true);
    form->addRow(hint);
    auto* side = new QVBoxLayout;
    side->addWidget(list, 1);
    for (QPushButton* b : {add, remove, up, down}) side->addWidget(b);
    auto* top = new QHBoxLayout;
    top->addLayout(side);
    top->addLayout(form, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* box = new QVBoxLayout(this);
    box->addLayout(top, 1);
    box->addWidget(buttons);

    for (const TestCommand& c : commands_) list->addItem(c.name);
    connect(list, &QListWidget::currentRowChanged, this, &CommandDialog::showcommand);
    connect(name, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (QListWidgetItem* item = list->item(shown_)) item->setText(t);
    });
    connect(add, &QPushButton::clicked, this, [this] {
        store();
        if (commands_.size() >= maxcommands) return;
        TestCommand c;
        c.name = QStringLiteral("Befehl %1").arg(commands_.size() + 1);
        commands_ << c;
        list->addItem(c.name);
        list->setCurrentRow(static_cast<int>(commands_.size() - 1));
        program->setFocus();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int row = shown_;
        if (row < 0) return;
        shown_ = -1; // nothing to store from the fields
        commands_.removeAt(row);
        delete list->takeItem(row);
        showcommand(list->currentRow());
    });
    connect(up, &QPushButton::clicked, this, [this] { move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { move(+1); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    list->setCurrentRow(commands_.isEmpty() ? -1 : 0);
    showcommand(list->currentRow());
    resize(620, 320);
}

void CommandDialog::store() {
    if (shown_ < 0 || shown_ >= commands_.size()) return;
    TestCommand& c = commands_[shown_];
    c.name = name->text();
    c.program = program->text();
    c.arguments = arguments->text();
    c.folder = folder->text();
    c.shortcut = shortcut->keySequence().toString(QKeySequence::PortableText);
    c.savefirst = savefirst->isChecked();
}

void CommandDialog::showcommand(int row) {
    store();
    shown_ = row;
    const bool any = row >= 0 && row < commands_.size();
    const TestCommand c = any ? commands_[row] : TestCommand();
    name->setText(c.name);
    program->setText(c.program);
    arguments->setText(c.arguments);
    folder->setText(c.folder);
    shortcut->setKeySequence(QKeySequence::fromString(c.shortcut, QKeySequence::PortableText));
    savefirst->setChecked(c.savefirst);
    for (QWidget* w : std::initializer_list<QWidget*>{name, program, browse, arguments, folder, shortcut, savefirst, remove})
        w->setEnabled(any);
    up->setEnabled(any && row > 0);
    down->setEnabled(any && row + 1 < commands_.size());
    add->setEnabled(commands_.size() < maxcommands);
}

void CommandDialog::move(int by) {
    store();
    const int row = shown_, to = shown_ + by;
    if (row < 0 || to < 0 || to >= commands_.size()) return;
    commands_.swapItemsAt(row, to);
    list->item(row)->setText(commands_[row].name);
    list->item(to)->setText(commands_[to].name);
    shown_ = -1; // both rows hold what they should
    list->setCurrentRow(to);
}

QList<TestCommand> CommandDialog::commands() {
    store();
    QList<TestCommand> out;
    for (TestCommand c : commands_) {
        if (c.program.trimmed().isEmpty()) continue;
        if (c.name.trimmed().isEmpty()) c.name = c.program.trimmed();
        out << c;
    }
    return out;
}

} // namespace tess
