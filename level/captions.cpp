// SPDX-License-Identifier: MIT
#include "level/captions.h"

#include "level/levelstore.h"

#include <cstring>

namespace tess {

namespace {

constexpr Caption table[] = {
    {"Form1", "Tessaron Level - Editor"},
    {"Datei1", "&Datei"},
    {"NeuesLevelpack1", "&Neues Levelpack"},
    {"Levelpackladen1", "&Levelpack laden"},
    {"Levelpackspeichern1", "&Levelpack speichern"},
    {"Speichern1", "&Speichern"},
    {"Bearbeiten1", "&Bearbeiten"},
    {"Rckgngig1", "&Rückgängig"},
    {"Wiederherstellen1", "&Wiederherstellen"},
    {"Kopieren1", "&Kopieren"},
    {"Einfgen1", "&Einfügen"},
    {"Lschen2", "&Ausschneiden"},
    {"Lschen1", "&Löschen"},
    {"Allesmarkieren1", "Alles &markieren"},
    {"Hilfe1", "&Hilfe"},
    {"Kurzanleitung1", "&Kurzanleitung"},
    {"Label1", "Level"},
    {"Label2", " / 111"},
    {"Label3", "Inftrns."},
    {"CheckBox1", "Schwerkraft"},
    {"ToolButton1", "Zeichnen"},
    {"ToolButton2", "Auswählen"},
    {"ToolButton4", "Vergrößern"},
    {"ToolButton5", "Verkleinern"},
    {"confirm", "Bestätigung"},
    {"error", "Fehler"},
    {"yes", "&Ja"},
    {"no", "&Nein"},
    {"save", "&Speichern"},
    {"discard", "&Verwerfen"},
    {"cancel", "&Abbrechen"},
    {"restore", "&Wiederherstellen"},
    {"later", "&Später"},
    {"switchlimit", switchlimitquestion},
    {"levellist", "Levelliste erzeugen?\n\nDie Levelliste ist eine eigene Datei mit den 111 Leveltiteln; "
                  "das Levelpack ist bereits gespeichert."},
    {"levellistsave", "Levelliste speichern"},
    {"unsaved", "Das Levelpack wurde geändert. Sollen die Änderungen gespeichert werden?"},
    {"discardchanges", "Das Levelpack wurde geändert. Sollen die Änderungen verworfen werden?"},
    {"newpack", "Ein neues, noch nie gespeichertes Levelpack"},
    {"notloaded", "Die Datei „%1“ konnte nicht geladen werden: %2"},
    {"notread", "Die Datei „%1“ konnte nicht gelesen werden: %2"},
    {"notwritten", "Die Datei „%1“ konnte nicht geschrieben werden: %2"},
    {"note", "Hinweis"},
    {"loadedlonger", "„%1“ ist geladen. %2"},
    {"cutquestion", "Die Datei „%1“ ist %2 Bytes länger als ein Levelpack. Beim Speichern gehen diese Bytes "
                    "verloren. Trotzdem speichern?"},
    {"recovered", "%1 wurde nicht gespeichert, als der Editor unerwartet endete oder geschlossen wurde. "
                  "Zuletzt geändert am %2.\n\nSoll es wiederhergestellt werden?"},
};

} // namespace

std::span<const Caption> captions() { return table; }

const char* caption(const char* key) {
    for (const Caption& c : table)
        if (std::strcmp(c.key, key) == 0) return c.text;
    return "";
}

} // namespace tess
