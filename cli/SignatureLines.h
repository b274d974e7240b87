// What quorvex -c says of a sum file's signature, in the words of gpg --verify: one line on
// standard error before the lines of the files, and whether the files are checked at all.
#pragma once

#include "sums/SumSignature.h"

#include <string>

// The text after "quorvex: SUMFILE: ", e.g. "good signature from "Example Release Key
// <release@example.org>" (1A2B 3C4D ...)", "BAD signature", "signature not checked: no public key
// 1A2B...", "not signed".
std::string SignatureLineText(const SignatureCheck& check);
// "3 lines outside the signed text were ignored"; "" when there are none.
std::string LinesOutsideText(const SignatureCheck& check);
// Whether the listed files are checked after this outcome: never after a bad signature, and with
// --require-signature only after a good signature by a certified key.
bool FilesAreChecked(const SignatureCheck& check, bool requireSignature);
// Whether the outcome gets its line: an unsigned file is said to be so only when a signature was
// required, so that checking an unsigned file writes exactly what sha256sum -c writes.
bool SignatureLineShown(const SignatureCheck& check, bool requireSignature);
