// SPDX-License-Identifier: MIT
#pragma once

// Where the commands of the "Testen" menu find %pack when the pack is not
// saved first: copies in a folder of this editor's own below the temporary
// folder, "tessaronedit-run-XXXXXX", locked while the editor runs. A launcher
// may return before the game it starts reads the pack, so a copy outlives
// its program; the folders of editors that died go when the next one starts.

#include "document/filelock.h"

#include <QDir>
#include <QString>

#include <memory>

class QTemporaryDir;

namespace tess {

class CommandCopies {
public:
    // Removes the folders below base that no running editor holds.
    explicit CommandCopies(QString base = QDir::tempPath());
    // Removes this editor's folder with every copy still in it.
    ~CommandCopies();
    CommandCopies(const CommandCopies&) = delete;
    CommandCopies& operator=(const CommandCopies&) = delete;

    // A new empty folder for one copy, inside this editor's folder, which
    // is made on first use; not valid, with its errorString, when it cannot be.
    std::unique_ptr<QTemporaryDir> make();
    // This editor's folder; empty until the first copy.
    const QString& folder() const { return folder_; }

private:
    QString base_;
    QString folder_;
    std::unique_ptr<FileLock> lock_;
};

} // namespace tess
