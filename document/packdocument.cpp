// SPDX-License-Identifier: MIT
#include "document/packdocument.h"

#include "edit/commands.h"
#include "edit/levelselect.h"
#include "edit/packreplace.h"
#include "level/packfile.h"
#include "level/packops.h"

#include <QFileInfo>

namespace tess {

namespace {

// Fields that show nothing and a question that is always declined: for a
// document nobody looks at (the count of a journal's differing levels, or
// before the window attaches).
struct QuietHost : LevelHost {
    StoreFields f;
    void setlevelnumber(int) override {}
    void settitle(const std::string& t) override { f.title = t; }
    std::string title() const override { return f.title; }
    void setinfotronsneeded(int v) override { f.infotronsneeded = static_cast<std::int16_t>(v); }
    std::int16_t infotronsneeded() const override { return f.infotronsneeded; }
    void setcounter(const std::string&) override {}
    void setgravity(bool on) override { f.gravity = on; }
    bool gravity() const override { return f.gravity; }
    bool askyesno(const std::string&) override { return false; }
    void repaintlevel() override {}
};

} // namespace

PackDocument::PackDocument()
    : quiethost_(std::make_unique<QuietHost>()), layers_(&ownlayers_), host_(quiethost_.get()) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PackDocument::updatejournal);
    // Every step pushed, undone or redone on any level changes the pack.
    history_.changed = [this] { schedule(); };
    history_.applycells = [this](const CellChange& change, bool undo) {
        applycells(store_.curlevel, *layers_, change, undo);
        stepstart_ = tilesof(store_.curlevel);
        emit cellsrestored();
        emit levelchanged(store_.levelnr);
    };
    history_.applyrecord = [this](const LevelRecord& record) { showrecord(record); };
    history_.applymove = [this](int slot) { showmove(slot); };
    history_.applyreplace = [this](const CellChange& change, bool undo) { applyreplace(change, undo); };
    connect(&history_.group, &QUndoGroup::canUndoChanged, this, &PackDocument::undochanged);
    connect(&history_.group, &QUndoGroup::canRedoChanged, this, &PackDocument::undochanged);
    connect(&journal_, &RecoveryJournal::failed, this, [this](const QString& why) {
        if (reportedoff_) return;
        reportedoff_ = true;
        emit recoveryoff(why);
    });
}

// The histories go last and signal as their stacks go: by then nothing here
// may listen.
PackDocument::~PackDocument() {
    history_.changed = nullptr;
    history_.group.disconnect(this);
}

void PackDocument::attach(EditLayers& layers, LevelHost& host) {
    layers_ = &layers;
    host_ = &host;
}

bool PackDocument::recordcells() {
    CellChange change = diffcells(stepstart_, store_.curlevel);
    if (change.empty()) return false;
    history_.push(new CellStep(history_, std::move(change)));
    stepstart_ = tilesof(store_.curlevel);
    emit levelchanged(store_.levelnr);
    return true;
}

void PackDocument::fieldsedited() { schedule(); }

bool PackDocument::storeback() {
    recordcells(); // a stroke in progress may have changed cells already
    if (!savebacklevel(store_, *host_)) return false;
    schedule(); // storing may write what the pack did not hold yet
    return true;
}

bool PackDocument::select(int slot) {
    if (!storeback()) return false;
    selectlevel(store_, *layers_, *host_, slot);
    shown();
    return true;
}

void PackDocument::shown() {
    history_.setcurrent(store_.levelnr);
    stepstart_ = tilesof(store_.curlevel);
    emit levelshown(store_.levelnr);
    emit undochanged();
}

void PackDocument::showrecord(const LevelRecord& record) {
    store_.levelpack[store_.levelnr] = record;
    selectlevel(store_, *layers_, *host_, store_.levelnr);
    shown();
    emit levelchanged(store_.levelnr);
}

void PackDocument::replacerecord(const LevelRecord& record) {
    recordcells();
    const LevelRecord before = store_.levelpack[store_.levelnr];
    showrecord(record);
    history_.push(new RecordStep(history_, before, record));
}

bool PackDocument::movelevel(int to) {
    if (to < 0 || to >= levelcount || !storeback()) return false;
    const int from = store_.levelnr;
    showmove(to);
    history_.push(new MoveStep(history_, from, to));
    return true;
}

void PackDocument::showmove(int to) {
    // Undo and redo come here without the level stored back: storing it
    // builds what it held after its last step, so nothing is asked.
    store_.levelpack[store_.levelnr] = buildrecord(store_.curlevel, readfields(*host_)).record;
    moveslot(store_.levelpack, store_.levelnr, to);
    history_.moveslot(store_.levelnr, to);
    selectlevel(store_, *layers_, *host_, to);
    shown();
    emit levelchanged(-1);
}

PackReplaceDone PackDocument::replaceinlevels(std::uint8_t from, std::uint8_t to) {
    if (!storeback()) return {};
    const PackReplace done = replaceinpack(store_.levelpack, from, to, true);
    const int id = ++lastreplace_;
    for (const SlotReplace& s : done.changed) {
        CellChange change = diffrecords(store_.levelpack[s.slot], s.after);
        store_.levelpack[s.slot] = s.after;
        if (s.slot == store_.levelnr) showreplaced(s.after);
        history_.pushto(s.slot, new ReplaceStep(history_, id, std::move(change)));
        emit levelchanged(s.slot);
    }
    lastlevels_ = done.levels;
    emit undochanged();
    return {done.cells, done.levels, done.skipped};
}

bool PackDocument::undoreplaceinlevels() {
    if (lastlevels_ == 0) return false;
    recordcells();
    std::vector<int> found;
    for (int slot = 0; slot < levelcount; ++slot) {
        const QUndoStack& s = history_.stack(slot);
        if (s.index() == 0) continue;
        const auto* step = dynamic_cast<const ReplaceStep*>(s.command(s.index() - 1));
        if (step && step->replace() == lastreplace_) found.push_back(slot);
    }
    if (int(found.size()) != lastlevels_) return false;
    for (int slot : found) {
        undoslot_ = slot == store_.levelnr ? -1 : slot;
        history_.stack(slot).undo();
    }
    undoslot_ = -1;
    lastlevels_ = 0;
    emit undochanged();
    return true;
}

void PackDocument::applyreplace(const CellChange& change, bool undo) {
    if (undoslot_ >= 0 && undoslot_ != store_.levelnr) {
        applyrecordbytes(store_.levelpack[undoslot_], change, undo);
        emit levelchanged(undoslot_);
        return;
    }
    // The level shown holds what it held right after the replace: its
    // record is built from it and the bytes written into that.
    LevelRecord rec = buildrecord(store_.curlevel, readfields(*host_)).record;
    applyrecordbytes(rec, change, undo);
    showreplaced(rec);
}

// The marks belong to the cells, not to the record: a replace across the
// pack and its undo change the shown level's tiles in place and leave them.
void PackDocument::showreplaced(const LevelRecord& record) {
    store_.levelpack[store_.levelnr] = record;
    showrecordcells(store_.curlevel, *layers_, record);
    stepstart_ = tilesof(store_.curlevel);
    emit cellsrestored();
    emit levelchanged(store_.levelnr);
}

void PackDocument::undo() {
    recordcells();
    history_.group.undo();
}

void PackDocument::redo() {
    recordcells();
    history_.group.redo();
}

bool PackDocument::canundo() const { return history_.group.canUndo(); }
bool PackDocument::canredo() const { return history_.group.canRedo(); }

void PackDocument::newpack() {
    newlevelpack(store_, *layers_, *host_);
    replaced({}, nullptr);
}

void PackDocument::load(const LevelPack& pack, const QString& file, qint64 rest) {
    store_.levelpack = pack;
    selectlevel(store_, *layers_, *host_, 0);
    replaced(file, std::make_unique<LevelPack>(pack), rest);
}

void PackDocument::replaced(const QString& file, std::unique_ptr<LevelPack> ondisk, qint64 rest) {
    history_.clear();
    lastlevels_ = 0;
    file_ = file;
    ondisk_ = std::move(ondisk);
    ondiskrest_ = rest;
    setsaved(std::make_unique<LevelPack>(image()));
    dropjournal();
    shown();
    emit levelchanged(-1);
    if (!file.isEmpty()) emit fileused(file);
}

LevelPack PackDocument::image() const { return packimage(store_, readfields(*host_)); }

bool PackDocument::changed() const { return !sameassaved(image()); }

void PackDocument::setsaved(std::unique_ptr<LevelPack> pack) {
    saved_ = std::move(pack);
    savedback_.reset();
    if (!saved_) return;
    savedback_ = std::make_unique<LevelPack>();
    for (int i = 0; i < levelcount; ++i) (*savedback_)[i] = storedback((*saved_)[i]);
}

// Levels nobody edited equal their saved bytes, or store back to the same
// record as those: only the levels the user visited are built again.
bool PackDocument::sameassaved(const LevelPack& image) const {
    if (!saved_) return false;
    for (int i = 0; i < levelcount; ++i)
        if (image[i] != (*saved_)[i] && storedback(image[i]) != (*savedback_)[i]) return false;
    return true;
}

bool PackDocument::changedondisk() const {
    if (file_.isEmpty() || !ondisk_ || !QFileInfo::exists(file_)) return false;
    LevelPack now;
    qint64 rest = 0;
    return !readpack(file_, now, &rest).ok || now != *ondisk_ || rest != ondiskrest_;
}

FileResult PackDocument::save(const QString& file) {
    const FileResult r = writepack(file, store_.levelpack);
    if (!r.ok) return r;
    file_ = file;
    ondisk_ = std::make_unique<LevelPack>(store_.levelpack);
    ondiskrest_ = 0;
    setsaved(std::make_unique<LevelPack>(store_.levelpack));
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
    auto now = std::make_shared<LevelPack>(image());
    if (sameassaved(*now)) {
        dropjournal();
        return;
    }
    if (journaled_ && *now == *journaled_) return;
    journaled_ = std::make_unique<LevelPack>(*now);
    journal_.write(encodejournal({store_.levelnr,
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

void PackDocument::restore(const Journal& j) {
    store_.levelpack = *j.pack;
    selectlevel(store_, *layers_, *host_, j.levelnr);
    auto ondisk = std::make_unique<LevelPack>();
    qint64 rest = 0;
    if (j.packfile.isEmpty() || !readpack(j.packfile, *ondisk, &rest).ok) ondisk.reset();
    replaced(j.packfile, std::move(ondisk), rest);
    // The journal's pack counts as unsaved where it differs from its file.
    setsaved(ondisk_ ? std::make_unique<LevelPack>(*ondisk_) : nullptr);
    lastchange_ = j.changed;
    // This editor's own journal takes it over; restore() keeps the time the
    // journal was last changed.
    if (journal_.isopen()) timer_.start(journaldelay);
}

int PackDocument::levelsdiffering(const Journal& j) {
    LevelPack ondisk;
    if (j.packfile.isEmpty() || !readpack(j.packfile, ondisk).ok) {
        PackDocument fresh; // a new pack, as "Neues Levelpack" makes it
        fresh.newpack();
        ondisk = fresh.store().levelpack;
    }
    int n = 0;
    for (int i = 0; i < levelcount; ++i) n += (*j.pack)[i] != ondisk[i];
    return n;
}

} // namespace tess
