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
    {"Zuletztgeffnet1", "&Zuletzt geöffnet"},
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
    {"GleicheFeldermarkieren1", "&Gleiche Felder markieren"},
    {"Zusammenhngendemarkieren1", "&Zusammenhängende markieren"},
    {"Markierungfllen1", "Markierung &füllen"},
    {"Markierunglinksrechtsspiegeln1", "Markierung links/rechts &spiegeln"},
    {"Markierungobenuntenspiegeln1", "Markierung &oben/unten spiegeln"},
    {"Ersetzen1", "Erse&tzen..."},
    {"Ansicht1", "&Ansicht"},
    {"Levelrand1", "&Levelrand"},
    {"Gitter1", "&Gitter"},
    {"Vergrern1", "Ver&größern"},
    {"Verkleinern1", "Ver&kleinern"},
    {"Level1", "&Level"},
    {"Levelkopieren1", "Level &kopieren"},
    {"Leveleinfgen1", "Level &einfügen"},
    {"Levelleeren1", "Level &leeren"},
    {"Levelnachvorne1", "Level nach &vorne"},
    {"Levelnachhinten1", "Level nach &hinten"},
    {"Ersetzenrckgngig1", "Ersetzen in allen Leveln rück&gängig"},
    {"Hilfe1", "&Hilfe"},
    {"Kurzanleitung1", "&Kurzanleitung"},
    {"berTessaronLevelEditor1", "Ü&ber Tessaron Level - Editor"},
    {"about", "Ein Editor für Levelpacks mit 111 Leveln.\nLizenz: MIT (Expat)."},
    {"Label1", "Level"},
    {"Label2", " / 111"},
    {"Label3", "Inftrns."},
    {"CheckBox1", "Schwerkraft"},
    {"ToolButton1", "Zeichnen"},
    {"ToolButton2", "Auswählen"},
    {"ToolButton4", "Vergrößern"},
    {"ToolButton5", "Verkleinern"},

    // Message boxes: captions and buttons.
    {"confirm", "Bestätigung"},
    {"error", "Fehler"},
    {"note", "Hinweis"},
    {"ok", "OK"},
    {"yes", "&Ja"},
    {"no", "&Nein"},
    {"open", "Öffnen"},
    {"save", "&Speichern"},
    {"discard", "&Verwerfen"},
    {"cancel", "&Abbrechen"},
    {"restore", "&Wiederherstellen"},
    {"later", "&Später"},
    {"each", "&Einzeln…"},
    {"keep", "&Behalten"},

    // The replace dialog and what the level menu says.
    {"replacecaption", "Ersetzen"},
    {"replacefind", "&Suchen:"},
    {"replaceby", "Ersetzen &durch:"},
    {"replacechoose", "(bitte wählen)"},
    {"replacescope", "Bereich"},
    {"replacemarked", "&Markierte Felder"},
    {"replacelevel", "Dieser &Level"},
    {"replaceall", "&Alle 111 Level"},
    {"replacebutton", "&Ersetzen"},
    {"replaceundo", "&Rückgängig"},
    {"replaceclose", "S&chließen"},
    {"replacepick", "Wählen Sie, wodurch ersetzt wird."},
    {"replacewill", "Es werden %1 geändert."},
    {"replacenothing", "Es gibt nichts zu ersetzen."},
    {"replaceskipped", " %1 Level bleiben, weil sie danach mehr als 11 Gravitationsschalter hätten."},
    {"replacedone", "%1 ersetzt."},
    {"replaceundone", "Rückgängig gemacht. "},
    {"replacenotundone", "Ein Level wurde inzwischen geändert; nichts rückgängig gemacht. "},
    {"onecell", "1 Feld"},
    {"cells", "%1 Felder"},
    {"inonelevel", " in 1 Level"},
    {"inlevels", " in %1 Leveln"},
    {"replaced", "Ersetzt: %1"},
    {"replacegone", "Das letzte Ersetzen in allen Leveln lässt sich nicht mehr als Ganzes rückgängig machen: "
                    "ein Level wurde seitdem geändert."},
    {"levelcopied", "Level %1 kopiert"},

    // The pack's file: questions, messages and the status bar.
    {"switchlimit", switchlimitquestion},
    {"levellist", "Levelliste erzeugen?\n\nDie Levelliste ist eine eigene Datei mit den 111 Leveltiteln; "
                  "das Levelpack ist bereits gespeichert."},
    {"levellistsave", "Levelliste speichern"},
    {"unsaved", "Das Levelpack wurde geändert. Sollen die Änderungen gespeichert werden?"},
    {"changedondisk", "Die Datei „%1“ wurde seit dem letzten Laden oder Speichern von einem anderen Programm "
                      "geändert. Soll sie trotzdem überschrieben werden?"},
    {"cutquestion", "Die Datei „%1“ ist %2 Bytes länger als ein Levelpack. Beim Speichern gehen diese Bytes "
                    "verloren. Trotzdem speichern?"},
    {"notopened", "Die Datei „%1“ konnte nicht geöffnet werden: %2"},
    {"notcreated", "Die Datei „%1“ konnte nicht angelegt werden: %2"},
    {"notloaded", "Die Datei „%1“ konnte nicht geladen werden: %2"},
    {"notread", "Die Datei „%1“ konnte nicht gelesen werden: %2"},
    {"notwritten", "Die Datei „%1“ konnte nicht geschrieben werden: %2"},
    {"loadedlonger", "„%1“ ist geladen. %2"},
    {"loaded", "Geladen: %1"},
    {"saved", "Gespeichert: %1"},
    {"savedlist", "Gespeichert: %1 und die Levelliste %2"},
    {"newpackstate", "Neues Levelpack"},
    {"newpackfile", "Levelpack.pak"},
    {"changedmark", " – geändert"},

    // Recovery of work an editor left unsaved: the question at start, one
    // pack or several, and the status bar's notice while recovery is off.
    {"recovered", "%1 wurde nicht gespeichert, als ein Editor unerwartet endete. Zuletzt geändert am %2; "
                  "%3 %4.\n\nSoll es wiederhergestellt werden?"},
    {"newpack", "Ein neues, noch nie gespeichertes Levelpack"},
    {"namedpack", "Das Levelpack „%1“"},
    {"onelevel", "1 Level unterscheidet sich"},
    {"levels", "%1 Level unterscheiden sich"},
    {"fromfile", "von der Datei"},
    {"fromnew", "von einem neuen Levelpack"},
    {"fromgone", "von einem neuen Levelpack (die Datei fehlt)"},
    {"when", "%1 um %2"},
    {"numbered", "(%1 von %2) %3"},
    {"recoveredall", "%1 Levelpacks wurden nicht gespeichert, als Editoren unerwartet endeten:\n\n%2\n\n"
                     "„Wiederherstellen“ öffnet das neueste, die anderen bleiben für einen späteren Start "
                     "erhalten. „Einzeln“ fragt nach jedem der genannten. „Verwerfen“ löscht alle, "
                     "„Behalten“ hebt alle auf."},
    {"recoveredline", "• „%1“, zuletzt geändert am %2"},
    {"recoverednewline", "• ein neues Levelpack, zuletzt geändert am %1"},
    {"andmore", "… und %1 weitere"},
    {"discardall", "Alle %1 ungespeicherten Levelpacks endgültig verwerfen?"},
    {"recoveryoff", "Wiederherstellung aus: %1"},
    {"recoveryofftip", "Ungespeicherte Änderungen können nach einem Absturz nicht wiederhergestellt werden. "
                       "Speichern funktioniert weiterhin."},

    // The page's own: the browser's storage for recovery and its records.
    {"nostorage", "Der Browser gibt dieser Seite keinen Speicher (privates Fenster oder Speicher abgeschaltet)."},
    {"nolocks", "Der Browser kann nicht erkennen, welche Tabs noch offen sind (Web Locks fehlen, etwa ohne HTTPS)."},
    {"storagefull", "Der Speicher des Browsers ist voll."},
    {"storagerefuses", "Der Speicher des Browsers nimmt nichts auf (nur lesbar?): %1"},
    {"recordnodata", "Die Daten fehlen."},
    {"recordnopack", "Das Levelpack fehlt."},
    {"recordnametime", "Name oder Zeit fehlen."},
    {"recordunusable", "Der Wiederherstellungseintrag „%1“ ist unbrauchbar: %2 Er bleibt unter „%3“ erhalten."},
    {"recordsunusable", "Diese Wiederherstellungseinträge sind unbrauchbar:\n\n%1"},
    {"recordnotrestored", "Der Wiederherstellungseintrag „%1“ ist unbrauchbar und bleibt erhalten."},

    // The page's own: files through the browser, drops, new versions.
    {"downloaded", "Gespeichert: %1, als Download im Download-Ordner des Browsers"},
    {"refused", "Der Browser hat den Dateidialog nicht geöffnet, weil er nicht unmittelbar auf einen Klick oder "
                "eine Taste folgte. Es wurde nichts geschrieben und nichts geht verloren.\n\nEin Klick auf „%1“ "
                "versucht es jetzt."},
    {"nopermissionread", "Der Browser hat nicht erlaubt, „%1“ zu lesen; es wurde nichts geändert."},
    {"nopermissionwrite", "Der Browser hat nicht erlaubt, „%1“ zu schreiben; es wurde nichts geändert."},
    {"pickfailed", "Der Dateidialog konnte nicht geöffnet werden: %1"},
    {"dropbusy", "Nicht geladen: Bitte zuerst die offene Frage beantworten."},
    {"droponlyone", "Bitte nur eine Datei ablegen – es waren %1."},
    {"newversion", "Neue Version verfügbar – jetzt neu laden?"},

    // The page's own: the system clipboard, when the browser refuses it.
    {"clipnowrite", "Der Browser lässt nicht in die Zwischenablage schreiben; kopiert ist nur für diesen Tab."},
    {"clipnoread", "Der Browser gibt die Zwischenablage nicht heraus; eingefügt wird, was in diesem Tab kopiert wurde."},
};

} // namespace

std::span<const Caption> captions() { return table; }

const char* caption(const char* key) {
    for (const Caption& c : table)
        if (std::strcmp(c.key, key) == 0) return c.text;
    return "";
}

} // namespace tess
