// SPDX-License-Identifier: MIT
#include "document/packdocument.h"

#include "level/packfile.h"

#include <QFileInfo>

#include <span>

namespace tess {

namespace {

std::span<const std::uint8_t> bytesof(const LevelPack& pack) { return {pack[0].data(), std::size_t(packlen)}; }

// How many journals the question at start names, and how many it reads at
// most to find them: a folder of thousands costs no more than a few.
constexpr qsizetype listedjournals = 5, readjournals = 12;

} // namespace

PackDocument::PackDocument() : session_(std::make_unique<EditSession>()) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PackDocument::updatejournal);
    session_->setlistener([this](const SessionChange& what) {
        schedule();
        emit edited(what);
    });
    connect(&journal_, &RecoveryJournal::failed, this, [this](const QString& why) {
        if (reportedoff_) return;
        reportedoff_ = true;
        emit recoveryoff(why);
    });
}

// The session goes first: by then nobody listens.
PackDocument::~PackDocument() { session_->setlistener(nullptr); }

void PackDocument::setfields(int infotrons, bool gravity, const std::string& title) {
    session_->setfields(infotrons, gravity, title);
}

bool PackDocument::commitfields() {
    if (!session_->commitfields()) return false;
    emit edited({}); // there is a step to undo now
    return true;
}

bool PackDocument::answer() {
    return session_->switchesfound() <= maxswitches || (ask && ask(switchlimitquestion));
}

void PackDocument::undo() {
    session_->commitfields();
    session_->command(SessionCommand::undo);
}

void PackDocument::redo() {
    session_->commitfields();
    session_->command(SessionCommand::redo);
}

bool PackDocument::storeback() { return session_->storeback(answer()); }

// A stroke in progress ends with the level it was made in, without what it
// would lay, once the switch is sure.
bool PackDocument::select(int slot) {
    if (slot < 0 || slot >= levelcount) return false;
    const bool yes = answer();
    if (!yes && session_->switchesfound() > maxswitches) return false;
    session_->dropstroke();
    return session_->switchlevel(slot + 1, yes);
}

bool PackDocument::movelevel(int to) {
    if (to < 0 || to >= levelcount || to == store().levelnr) return false;
    return session_->movelevel(to + 1, answer());
}

bool PackDocument::copylevel() { return session_->copylevel(answer()); }

bool PackDocument::pastelevel() { return session_->levelclip() && session_->pastelevel(answer()); }

bool PackDocument::emptylevel() { return session_->emptylevel(answer()); }

bool PackDocument::replacerecord(const LevelRecord& record) { return session_->replacerecord(record, answer()); }

PackReplace PackDocument::replaceinlevels(std::uint8_t from, std::uint8_t to) {
    const PackReplace done = session_->replaceinpack(from, to, answer());
    if (done.levels > 0) replaced_ = true;
    emit edited({}); // what can be taken back changed
    return done;
}

bool PackDocument::undoreplaceinlevels() {
    if (!session_->undoreplaceinpack()) return false;
    replaced_ = false;
    emit edited({});
    return true;
}

void PackDocument::newpack() {
    session_->newpack();
    replaced({}, nullptr);
}

void PackDocument::load(const LevelPack& pack, const QString& file, qint64 rest) {
    session_->openpack(bytesof(pack));
    replaced(file, std::make_unique<LevelPack>(pack), rest);
}

void PackDocument::replaced(const QString& file, std::unique_ptr<LevelPack> ondisk, qint64 rest) {
    file_ = file;
    ondisk_ = std::move(ondisk);
    ondiskrest_ = rest;
    nosaved_ = false;
    replaced_ = false;
    dropjournal();
    // All is new, the histories too, whatever the session found changed.
    SessionChange all;
    all.cells = all.fields = all.level = true;
    all.records.set();
    emit edited(all);
    if (!file.isEmpty()) emit fileused(file);
}

bool PackDocument::changed() const { return nosaved_ || session_->unsaved(); }

bool PackDocument::changedondisk() const {
    if (file_.isEmpty() || !ondisk_ || !QFileInfo::exists(file_)) return false;
    LevelPack now;
    qint64 rest = 0;
    return !readpack(file_, now, &rest).ok || now != *ondisk_ || rest != ondiskrest_;
}

FileResult PackDocument::save(const QString& file) {
    const FileResult r = writepack(file, store().levelpack);
    if (!r.ok) return r;
    file_ = file;
    ondisk_ = std::make_unique<LevelPack>(store().levelpack);
    ondiskrest_ = 0;
    session_->marksaved();
    nosaved_ = false;
    dropjournal();
    emit fileused(file);
    return r;
}

void PackDocument::dropjournal() {
    timer_.stop();
    if (journaled_) journal_.remove();
    journaled_.reset();
}

void PackDocument::schedule() {
    lastchange_ = QDateTime::currentDateTimeUtc();
    if (journal_.isopen() && !timer_.isActive()) timer_.start(journaldelay);
}

// The image is built here, on the window's thread, in a few microseconds;
// the writer thread encodes nothing and only puts the bytes on the disk.
void PackDocument::updatejournal() {
    timer_.stop();
    if (!journal_.isopen()) return;
    if (!changed()) {
        dropjournal();
        return;
    }
    auto now = std::make_shared<LevelPack>(image());
    if (journaled_ && *now == *journaled_) return;
    journaled_ = std::make_unique<LevelPack>(*now);
    journal_.write(encodejournal({store().levelnr,
                                  lastchange_.isValid() ? lastchange_ : QDateTime::currentDateTimeUtc(), file_,
                                  std::move(now)}));
}

bool PackDocument::openjournal(const QString& folder) {
    const bool ok = journal_.open(folder.isEmpty() ? RecoveryJournal::defaultfolder() : folder);
    if (!ok) {
        reportedoff_ = true;
        emit recoveryoff(journal_.reason());
    }
    return ok;
}

PackDocument::Leftovers PackDocument::leftovers() {
    Leftovers out;
    const RecoveryJournal::Leftovers found = journal_.leftovers();
    const auto keptaside = [&](const QString& path, const QString& why) {
        out.faults.push_back({path, journal_.keepaside(path), why});
    };
    for (const RecoveryJournal::Stray& stray : found.strays) keptaside(stray.path, stray.why);
    // The newest few are read and named; the others are only counted.
    qsizetype next = 0;
    for (qsizetype tried = 0; next < found.journals.size() && out.offered.size() < listedjournals &&
                              tried < readjournals; ++next) {
        const QString& path = found.journals[next];
        if (!journal_.claim(path)) continue;
        ++tried;
        const JournalRead r = readjournal(path);
        if (!r.ok) {
            keptaside(path, r.error);
            continue;
        }
        out.offered << path;
        out.read << r.journal;
    }
    out.unread = found.journals.mid(next);
    return out;
}

void PackDocument::takeover(const QString& path, const Journal& j) {
    restore(j);
    updatejournal();
    const bool taken = journal_.isopen() && journal_.flush(5000) && QFileInfo::exists(journal_.path());
    journal_.release(path, taken || (journal_.isopen() && !changed()));
}

void PackDocument::restore(const Journal& j) {
    auto ondisk = std::make_unique<LevelPack>();
    qint64 rest = 0;
    if (j.packfile.isEmpty() || !readpack(j.packfile, *ondisk, &rest).ok) ondisk.reset();
    // The journal's pack counts as unsaved where it differs from its file,
    // and as a whole when there is none.
    const LevelPack saved = ondisk ? *ondisk : *j.pack;
    session_->restore(bytesof(*j.pack), bytesof(saved), j.levelnr);
    replaced(j.packfile, std::move(ondisk), rest);
    nosaved_ = !ondisk_;
    lastchange_ = j.changed;
    // This editor's own journal takes it over, keeping the time the journal
    // was last changed.
    if (journal_.isopen()) timer_.start(journaldelay);
}

int PackDocument::levelsdiffering(const Journal& j) {
    LevelPack ondisk;
    if (j.packfile.isEmpty() || !readpack(j.packfile, ondisk).ok) ondisk = std::make_unique<EditSession>()->store().levelpack; // a new pack
    return tess::levelsdiffering(*j.pack, ondisk);
}

} // namespace tess
