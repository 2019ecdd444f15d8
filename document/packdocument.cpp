// SPDX-License-Identifier: MIT
#include "document/packdocument.h"

#include "level/packfile.h"

namespace tess {

PackDocument::PackDocument() {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PackDocument::updatejournal);
    // Every step pushed, undone or redone changes the pack.
    connect(&history.group, &QUndoGroup::indexChanged, this, &PackDocument::touched);
    connect(&journal, &RecoveryJournal::failed, this, [this](const QString& why) {
        if (reportedoff_) return;
        reportedoff_ = true;
        emit recoveryoff(why);
    });
}

// The histories go last and signal as their stacks go: by then nothing here
// may listen.
PackDocument::~PackDocument() { history.group.disconnect(this); }

LevelPack PackDocument::image() const { return packimage(store, fields ? fields() : StoreFields{}); }

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

void PackDocument::replaced(const QString& file) {
    history.clear();
    file_ = file;
    setsaved(std::make_unique<LevelPack>(image()));
    dropjournal();
    if (!file.isEmpty()) emit fileused(file);
}

void PackDocument::saved(const QString& file) {
    file_ = file;
    setsaved(std::make_unique<LevelPack>(store.levelpack));
    dropjournal();
    emit fileused(file);
}

void PackDocument::dropjournal() {
    timer_.stop();
    if (journaled_) journal.remove();
    journaled_.reset();
}

void PackDocument::touched() {
    lastchange_ = QDateTime::currentDateTimeUtc();
    if (journal.isopen() && !timer_.isActive()) timer_.start(journaldelay);
}

// The image is built here, on the window's thread, in a few microseconds;
// the writer thread encodes nothing and only puts the bytes on the disk.
void PackDocument::updatejournal() {
    timer_.stop();
    if (!journal.isopen()) return;
    auto now = std::make_shared<LevelPack>(image());
    if (sameassaved(*now)) {
        dropjournal();
        return;
    }
    if (journaled_ && *now == *journaled_) return;
    journaled_ = std::make_unique<LevelPack>(*now);
    journal.write(encodejournal({store.levelnr, lastchange_.isValid() ? lastchange_ : QDateTime::currentDateTimeUtc(),
                                 file_, std::move(now)}));
}

bool PackDocument::openjournal(const QString& folder) {
    const bool ok = journal.open(folder.isEmpty() ? RecoveryJournal::defaultfolder() : folder);
    if (!ok) {
        reportedoff_ = true;
        emit recoveryoff(journal.reason());
    }
    return ok;
}

void PackDocument::restore(const Journal& j) {
    history.clear();
    store.levelpack = *j.pack;
    file_ = j.packfile;
    auto ondisk = std::make_unique<LevelPack>();
    if (file_.isEmpty() || !readpack(file_, *ondisk).ok) ondisk.reset();
    setsaved(std::move(ondisk));
    journaled_.reset();
    lastchange_ = j.changed;
    touched(); // this editor's own journal takes it over
    if (!file_.isEmpty()) emit fileused(file_);
}

int PackDocument::levelsdiffering(const Journal& j) {
    LevelPack ondisk;
    if (j.packfile.isEmpty() || !readpack(j.packfile, ondisk).ok) {
        // A new pack, as "Neues Levelpack" makes it.
        EditLayers layers;
        LevelStore fresh;
        struct : LevelHost {
            void setlevelnumber(int) override {}
            void settitle(const std::string&) override {}
            std::string title() const override { return {}; }
            void setinfotronsneeded(int) override {}
            std::int16_t infotronsneeded() const override { return 0; }
            void setcounter(const std::string&) override {}
            void setgravity(bool) override {}
            bool gravity() const override { return false; }
            bool askyesno(const std::string&) override { return false; }
            void repaintlevel() override {}
        } quiet;
        newlevelpack(fresh, layers, quiet);
        ondisk = fresh.levelpack;
    }
    int n = 0;
    for (int i = 0; i < levelcount; ++i) n += (*j.pack)[i] != ondisk[i];
    return n;
}

} // namespace tess
