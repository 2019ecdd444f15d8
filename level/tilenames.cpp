// SPDX-License-Identifier: MIT
#include "level/tilenames.h"

#include "level/levelformat.h"

namespace tess {

namespace {

// Ports 13..16 are tubes 9..12 with a badge; 40..43 the same ports with the
// other flag.
#define TESS_PORT1 "Gravitationsschalter, Flag 1 (roter Pfeil), "
#define TESS_PORT0 "Gravitationsschalter, Flag 0 (grüner Pfeil), "
#define TESS_TUBE9 "Röhre waagrecht, Kragen rechts"
#define TESS_TUBE10 "Röhre senkrecht, Kragen unten"
#define TESS_TUBE11 "Röhre waagrecht, Kragen links"
#define TESS_TUBE12 "Röhre senkrecht, Kragen oben"

constexpr const char* names[tilecodecount] = {
    "leer (schwarz)",
    "graue Kugel",
    "grüne Platine",
    "roter Klumpen",
    "Infotron",
    "Chip",
    "Randblock",
    "orangefarbener E-Block",
    "blaue Diskette",
    TESS_TUBE9,
    TESS_TUBE10,
    TESS_TUBE11,
    TESS_TUBE12,
    TESS_PORT1 TESS_TUBE9,
    TESS_PORT1 TESS_TUBE10,
    TESS_PORT1 TESS_TUBE11,
    TESS_PORT1 TESS_TUBE12,
    "Schere",
    "Diskette, gelber Streifen",
    "Konsole",
    "Diskette, roter Streifen",
    "Röhre senkrecht, langer Kragen",
    "Röhre waagrecht, langer Kragen",
    "Röhrenkreuzung",
    "blaue Funken",
    "Platine mit blau-weißem Zacken",
    "breiter Chip, linke Hälfte",
    "breiter Chip, rechte Hälfte",
    "Platine mit Bauteilen",
    "Rahmen mit grünem Edelstein",
    "Rahmen mit blauem Edelstein",
    "Rahmen mit rotem Edelstein",
    "Rahmen mit gelb-schwarzen Streifen",
    "Platine, zwei stehende und ein liegendes Bauteil",
    "Platine mit rotem Kasten",
    "Platine, drei liegende Bauteile (rot, gelb, blau)",
    "Platine, drei stehende rote Bauteile",
    "Platine, drei liegende gelbe Bauteile",
    "hoher Chip, obere Hälfte",
    "hoher Chip, untere Hälfte",
    TESS_PORT0 TESS_TUBE9,
    TESS_PORT0 TESS_TUBE10,
    TESS_PORT0 TESS_TUBE11,
    TESS_PORT0 TESS_TUBE12,
};

} // namespace

const char* tilename(int code) {
    return code >= 0 && code < tilecodecount ? names[code] : "unbekannter Code";
}

std::string tilelabel(int code) { return "Code " + std::to_string(code) + ": " + tilename(code); }

} // namespace tess
