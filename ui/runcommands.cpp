// SPDX-License-Identifier: MIT
#include "ui/runcommands.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTime>
#include <QVBoxLayout>

#include <algorithm>

namespace tess {

namespace {

// One pass, so that a path holding "%level" stays as it is.
QString fill(const QString& word, const CommandPlaces& p) {
    const std::pair<QLatin1StringView, QString> places[] = {
        {QLatin1StringView("%pack"), p.pack}, {QLatin1StringView("%level"), QString::number(p.level)},
        {QLatin1StringView("%dir"), p.dir}};
    QString out;
    for (qsizetype i = 0; i < word.size();) {
        bool found = false;
        for (const auto& [name, value] : places)
            if (QStringView(word).mid(i).startsWith(name)) {
                out += value;
                i += name.size();
                found = true;
                break;
            }
        if (!found) out += word[i++];
    }
    return out;
}

// The words as they could be typed again.
QString quoted(const QStringList& words) {
    QStringList out;
    for (QString w : words) {
        if (!w.isEmpty() && !w.contains(QRegularExpression(QStringLiteral("[\\s'\"\\\\]")))) out << w;
        else out << QLatin1Char('\'') + w.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
    }
    return out.join(QLatin1Char(' '));
}

} // namespace

QStringList splitarguments(const QString& typed) {
    QStringList words;
    QString word;
    bool inword = false;
    QChar quote; // the quote open, or null
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar c = typed[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            else if (c == QLatin1Char('\\') && quote == QLatin1Char('"') && i + 1 < typed.size() &&
                     (typed[i + 1] == QLatin1Char('"') || typed[i + 1] == QLatin1Char('\\')))
                word += typed[++i];
            else word += c;
        } else if (c.isSpace()) {
            if (inword) words << word;
            word.clear();
            inword = false;
        } else {
            inword = true;
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) quote = c;
            else if (c == QLatin1Char('\\') && i + 1 < typed.size()) word += typed[++i];
            else word += c;
        }
    }
    if (inword) words << word;
    return words;
}

QStringList expandarguments(const QString& typed, const CommandPlaces& places) {
    QStringList words = splitarguments(typed);
    for (QString& w : words) w = fill(w, places);
    return words;
}

QString commandfolder(const TestCommand& command, const CommandPlaces& places) {
    return command.folder.trimmed().isEmpty() ? places.dir : fill(command.folder.trimmed(), places);
}

CommandLog::CommandLog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CommandLog"));
    setWindowTitle(QStringLiteral("Ausgabe der Befehle"));
    view_ = new QPlainTextEdit(this);
    view_->setObjectName(QStringLiteral("output"));
    view_->setReadOnly(true);
    view_->setMaximumBlockCount(5000);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* clear = buttons->addButton(QStringLiteral("&Leeren"), QDialogButtonBox::ResetRole);
    connect(clear, &QPushButton::clicked, view_, &QPlainTextEdit::clear);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto* box = new QVBoxLayout(this);
    box->addWidget(view_);
    box->addWidget(buttons);
    resize(560, 300);
}

void CommandLog::append(const QString& text) {
    view_->moveCursor(QTextCursor::End);
    view_->insertPlainText(text);
    view_->moveCursor(QTextCursor::End);
}

QString CommandLog::text() const { return view_->toPlainText(); }

struct CommandRunner::Run {
    QString name;
    bool done = false;
    QProcess process;
    QStringDecoder decode{QStringDecoder::System};
};

CommandRunner::CommandRunner(QWidget* window, const QString& copybase)
    : QObject(window), log(new CommandLog(window)), copies(copybase) {}

// Programs still running end with the editor, before their temporary copies go.
CommandRunner::~CommandRunner() {
    for (auto& r : runs_) r->process.disconnect(this);
}

int CommandRunner::running() const {
    return static_cast<int>(std::count_if(runs_.begin(), runs_.end(), [](const auto& r) { return !r->done; }));
}

bool CommandRunner::run(const TestCommand& command, const CommandPlaces& places, std::unique_ptr<QTemporaryDir> copy) {
    const QString stamp = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    // Runs that ended are dropped here, outside their process's signals.
    std::erase_if(runs_, [](const auto& r) { return r->done; });
    for (const auto& r : runs_)
        if (r->name == command.name) {
            log->append(QStringLiteral("[%1] „%2“ läuft noch.\n").arg(stamp, command.name));
            if (said) said(QStringLiteral("„%1“ läuft noch.").arg(command.name));
            return false;
        }
    auto owned = std::make_unique<Run>();
    Run* r = owned.get();
    r->name = command.name;
    kept_[command.name] = std::move(copy); // the copy of its last run goes
    runs_.push_back(std::move(owned));
    const QStringList args = expandarguments(command.arguments, places);
    r->process.setProgram(command.program.trimmed());
    r->process.setArguments(args);
    r->process.setWorkingDirectory(commandfolder(command, places));
    r->process.setProcessChannelMode(QProcess::MergedChannels);
    r->process.setStandardInputFile(QProcess::nullDevice());
    log->append(QStringLiteral("[%1] %2: %3 %4\n")
                    .arg(stamp, command.name, r->process.program(), quoted(args)));
    connect(&r->process, &QProcess::readyRead, this, [r, this] {
        char buf[8192];
        for (qint64 n; (n = r->process.read(buf, sizeof buf)) > 0;) log->append(r->decode(QByteArrayView(buf, n)));
    });
    connect(&r->process, &QProcess::finished, this, [r, this](int code, QProcess::ExitStatus status) {
        if (status == QProcess::CrashExit) ended(r, QStringLiteral("abgebrochen (%1)").arg(r->process.errorString()), true);
        else ended(r, QStringLiteral("beendet mit Status %1").arg(code), code != 0);
    });
    connect(&r->process, &QProcess::errorOccurred, this, [r, this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        const QString why = QStringLiteral("Das Programm „%1“ konnte nicht gestartet werden: %2")
                                .arg(r->process.program(), r->process.errorString());
        ended(r, QStringLiteral("nicht gestartet"), false);
        // From the event loop: the error box must not open inside start().
        QMetaObject::invokeMethod(this, [this, why] { if (cannotstart) cannotstart(why); }, Qt::QueuedConnection);
    });
    r->process.start(QIODevice::ReadOnly);
    if (said && !r->done) said(QStringLiteral("„%1“ gestartet.").arg(command.name));
    return true;
}

void CommandRunner::ended(Run* r, const QString& how, bool failed) {
    log->append(QStringLiteral("[%1] „%2“ %3.\n").arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), r->name, how));
    if (failed) log->show();
    if (said) said(QStringLiteral("„%1“ %2.").arg(r->name, how));
    r->done = true;
    r->process.disconnect(this);
}

} // namespace tess
