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
    {"LevelnachTiledexportieren1", "Level nach &Tiled exportieren..."},
    {"LevelausTiledimportieren1", "Level aus T&iled importieren..."},
    {"Beenden1", "B&eenden"},
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
    {"version", "Version " TESS_VERSION},
    {"close", "S&chließen"},
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
    {"notsavedyet", "Noch nicht gespeichert"},
    {"unsavedchanges", "Ungespeicherte Änderungen"},
    {"allsaved", "Alles gespeichert"},
    {"restoredpack", "Wiederhergestellt: %1"},
    {"restorednew", "neues Levelpack"},

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
    {"mapexported", "Exportiert: Level %1 nach %2"},
    {"mapdownloaded", "Exportiert: Level %1 nach %2, mit tiles.tsx und tiles.png, als Download im Download-Ordner des Browsers"},
    {"mapimported", "Importiert: %1 in Level %2"},
    {"mapswitches", "Die Karte „%1“ für Level %2 enthält %3 Gravitationsschalter. %4"},
    {"mapreplace", "„%1“ gibt es in diesem Ordner schon. Ersetzen?"},
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

    // Tiled maps: why a map file is refused, completing "mapinvalid".
    {"mapinvalid", "Die Datei „%1“ ist keine gültige Karte: %2"},
    {"maptoolong", "Sie ist länger als %1 Bytes."},
    {"mapxmlnesting", "Die Elemente sind tiefer als %1 Ebenen verschachtelt."},
    {"mapjsonnesting", "Objekte und Listen sind tiefer als %1 Ebenen verschachtelt."},
    {"mapnottmx", "Das Dokument ist keine TMX-Karte (<%1>)."},
    {"mapnotjson", "Das Dokument ist keine JSON-Karte (type ist nicht „map“)."},
    {"mapxmlerror", "XML-Fehler in Zeile %1, Spalte %2: %3"},
    {"mapxmlend", "Das Dokument endet vorzeitig."},
    {"mapxmlchar", "Das Zeichen ist in XML nicht erlaubt (oder kein UTF-8)."},
    {"mapxmlsyntax", "Hier ist kein gültiges XML."},
    {"mapxmlreference", "Der Verweis „%1“ ist unbekannt oder ungültig."},
    {"mapxmlattributes", "Das Element hat mehr als %1 Attribute."},
    {"mapxmltwice", "Das Attribut „%1“ steht zweimal im Element."},
    {"mapxmlmismatch", "Das End-Tag </%1> schließt kein offenes Element dieses Namens."},
    {"mapxmlsecondroot", "Nach dem Wurzelelement folgt ein zweites."},
    {"mapxmlafterroot", "Nach dem Wurzelelement folgt noch Text."},
    {"mapxmldeep", "Die Elemente sind zu tief verschachtelt."},
    {"mapxmldoctype", "Eine DOCTYPE-Deklaration wird nicht gelesen."},
    {"mapxmlencoding", "Die Kodierung „%1“ wird nicht gelesen, nur UTF-8."},
    {"mapjsonerror", "JSON-Fehler bei Zeichen %1: %2"},
    {"mapjsonend", "Der Text endet vorzeitig."},
    {"mapjsontoken", "„%1“ ist hier nicht erlaubt."},
    {"mapinfinite", "Die Karte ist unendlich; nur Karten fester Größe werden gelesen."},
    {"mapnogid", "Zelle %1,%2 hält keine gid."},
    {"mapcompression", "Die Kompression „%1“ wird nicht unterstützt (nur zlib und gzip)."},
    {"mapdamaged", "Die %1-Daten der Kachelebene sind beschädigt."},
    {"mapcsv", "Der CSV-Eintrag „%1“ ist keine Zahl."},
    {"mapencoding", "Die Kodierung „%1“ wird nicht unterstützt."},
    {"mapbase64", "Die base64-Daten der Kachelebene sind fehlerhaft."},
    {"mapbytes", "Die Kachelebene hat %1 Bytes, kein Vielfaches von 4."},
    {"maptitlelatin1", "Der Titel „%1“ enthält Zeichen außerhalb von Latin-1."},
    {"maptitlecontrol", "Der Titel enthält an Stelle %1 das Steuerzeichen U+%2."},
    {"maptitlelong", "Der Titel „%1“ hat %2 Zeichen, höchstens %3 sind erlaubt."},
    {"mapwrongtype", "Die Eigenschaft „%1“ hat den Typ „%2“ statt „%3“."},
    {"mapgravity", "Die Eigenschaft „gravity“ hat den Wert „%1“ statt true oder false."},
    {"mapinfotrons", "Die Eigenschaft „infotrons_needed“ ist %1, erlaubt sind 0 bis 255."},
    {"mapforeign", "Die Eigenschaft „foreign_bytes“ %1"},
    {"mapforeignlong", "ist %1 Zeichen lang; ein Level braucht höchstens %2."},
    {"mapforeignmalformed", "ist bei „%1“ fehlerhaft (erwartet: Offset:gebaut:roh oder Von-Bis:gebaut:roh, etwa "
                            "1440:00:7f)."},
    {"mapforeigntwice", "nennt Offset %1 mehr als einmal (bei „%2“)."},
    {"maptilesets", "Die Karte hat %1 Tilesets, erwartet wird genau eins (%2)."},
    {"mapothertileset", "Die Karte verwendet das Tileset „%1“ statt %2."},
    {"maptilecount", "Das Tileset „%1“ hat %2 Kacheln statt %3."},
    {"mapfirstgid", "Das Tileset beginnt bei gid %1 statt 1."},
    {"mapsize", "%1 × %2"},
    {"maporientation", "Die Karte ist nicht orthogonal, sondern „%1“."},
    {"mapmapsize", "Die Karte ist %1 Kacheln groß, ein Level hat %2."},
    {"mapnolayer", "Die Karte hat keine Kachelebene."},
    {"maplayers", "Die Karte hat %1 Kachelebenen, erwartet wird genau eine."},
    {"maplayersize", "Die Kachelebene ist %1 Kacheln groß, ein Level hat %2."},
    {"maptoomanycells", "Die Kachelebene hat mehr als %1 Zellen."},
    {"mapcellcount", "Die Kachelebene hat %1 Zellen statt %2."},
    {"mapcell", "Zelle %1,%2"},
    {"mapflipped", "%1 ist gespiegelt oder gedreht."},
    {"mapemptycell", "%1 ist leer (gid 0)."},
    {"mapgid", "%1 hat gid %2, das Tileset hat nur %3 Kacheln."},
    // The level overview and the level statistics.
    {"Levelbersicht1", "Level&übersicht"},
    {"Levelstatistik1", "Level&statistik"},
    {"overviewcaption", "Levelübersicht"},
    {"overviewclose", "Levelübersicht schließen"},
    {"statscaption", "Levelstatistik"},
    {"statslevel", "Level %1: %2"},
    {"statsinfotrons", "Infotrons: %1 gezählt, %2 benötigt"},
    {"statsmarked", "%1 weitere markiert, vom Zähler nicht mitgezählt"},
    {"statsunknown", "Zellen mit einem Code ohne Bild: %1"},
    {"code", "Code %1"},
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

std::string packstatetext(std::string_view name, bool changed) {
    std::string text = name.empty() ? caption("newpackstate") : std::string(name);
    if (changed) text += caption("changedmark");
    return text;
}

std::string packstatetip(std::string_view file, bool changed) {
    std::string text = file.empty() ? caption("notsavedyet") : std::string(file);
    return text + '\n' + (changed ? caption("unsavedchanges") : caption("allsaved"));
}

} // namespace tess
