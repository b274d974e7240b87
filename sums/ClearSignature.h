// Splitting a clear-signed sum file ("-----BEGIN PGP SIGNED MESSAGE-----", as gpg --clearsign
// writes it) into the armoured block that gpg verifies and the text that block signs. Only that
// text is trusted; the lines around the block are counted so the user is told they were ignored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct ClearSignedParts {
    bool Found = false;  // a line "-----BEGIN PGP SIGNED MESSAGE-----" starts a block
    // The block from its first line to the end of "-----END PGP SIGNATURE-----" and its line
    // end (to the end of the bytes when that line never comes): what gpg is given to verify.
    std::string_view Block;
    // The text the signature covers, as its hash sees it: the armour headers left out, dash
    // escapes ("- ") undone, blanks and tabs at line ends dropped (they are not signed, so a
    // name cannot be changed by adding some), every line ended by LF.
    std::string SignedText;
    // Lines outside the block that hold more than blanks: not signed, so never used.
    size_t LinesOutside = 0;
};

// No block found leaves Found false and the rest empty. A second block counts as lines outside
// the first.
ClearSignedParts SplitClearSigned(std::string_view bytes);
