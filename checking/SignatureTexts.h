// The window's words for what a sum file's signature proved: the import's status and its box,
// and the end of the totals after a pass.
#pragma once

#include "checking/SumImport.h"
#include "sums/SumSignature.h"

#include <string>

// "签名有效：USER ID（指纹 XXXX XXXX …）", "签名无效", "校验文件未签名", ...
std::string SignatureReportText(const SignatureCheck& check);
// The box after an import whose signature proved less than a good signature by a certified
// key, or whose lines outside the signed text were left out; "" when there is nothing to warn
// of. The user ID and fingerprint come in full, the lines outside are counted
// ("签名之外的 N 行未使用").
std::string SignatureBoxText(const SumImportReport& report);
// "，签名有效：USER ID", for the end of the totals after a pass.
std::string SignatureTotalsSuffix(const SignatureCheck& check);
