#include "checking/SignatureTexts.h"

#include "platform/TextEncoding.h"

namespace {

// A user ID is UTF-8 by OpenPGP's rule; the fingerprint in gpg's groups of four.
std::string Signer(const SignatureCheck& check)
{
    std::string text = check.UserId.empty() ? "未知用户" : check.UserId;
    if (!check.Fingerprint.empty())
        text += "（指纹 " + GroupedFingerprint(check.Fingerprint) + "）";
    return text;
}

}  // namespace

std::string SignatureReportText(const SignatureCheck& check)
{
    switch (check.State) {
    case SignatureState::NotSigned: return "校验文件未签名";
    case SignatureState::Good: return "签名有效：" + Signer(check);
    case SignatureState::GoodUncertified: return "签名有效，但签名密钥未经认证：" + Signer(check);
    case SignatureState::ExpiredSignature: return "签名已过期：" + Signer(check);
    case SignatureState::ExpiredKey: return "签名有效，但签名密钥已过期：" + Signer(check);
    case SignatureState::RevokedKey: return "签名有效，但签名密钥已被吊销：" + Signer(check);
    case SignatureState::NoPublicKey:
        return "找不到签名所用的公钥（指纹 " + GroupedFingerprint(check.Fingerprint) + "）";
    case SignatureState::NotChecked: return "无法检查签名：" + check.Reason;
    case SignatureState::Bad: return "签名无效";
    }
    return "无法检查签名";
}

std::string SignatureBoxText(const SumImportReport& report)
{
    const SignatureCheck& check = report.Signature;
    const std::string name = "“" + Utf8FromNative(report.SumFile) + "”";
    std::string text;
    switch (check.State) {
    case SignatureState::NotSigned:
    case SignatureState::Good: break;
    case SignatureState::Bad: text = "校验文件" + name + "的签名无效，其中的校验值未导入。\n"; break;
    case SignatureState::NoPublicKey:
    case SignatureState::NotChecked:
        text = "校验文件" + name + "的签名未能检查：" +
               (check.State == SignatureState::NotChecked ? check.Reason : SignatureReportText(check)) +
               "。校验值已导入，但未经签名证实。\n";
        break;
    default:
        text = "校验文件" + name + "：" + SignatureReportText(check) + "。校验值已导入，但未经签名证实。\n";
        break;
    }
    if (check.LinesOutside > 0 && check.State != SignatureState::Bad)
        text += "签名之外的 " + std::to_string(check.LinesOutside) + " 行未使用。\n";
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

std::string SignatureTotalsSuffix(const SignatureCheck& check)
{
    switch (check.State) {
    case SignatureState::NotSigned: return "，校验文件未签名";
    case SignatureState::Good:
        return "，签名有效：" + (check.UserId.empty() ? check.Fingerprint : check.UserId);
    case SignatureState::GoodUncertified: return "，签名密钥未经认证";
    case SignatureState::ExpiredSignature: return "，签名已过期";
    case SignatureState::ExpiredKey: return "，签名密钥已过期";
    case SignatureState::RevokedKey: return "，签名密钥已被吊销";
    case SignatureState::NoPublicKey:
    case SignatureState::NotChecked: return "，签名未能检查";
    case SignatureState::Bad: return "，签名无效";
    }
    return {};
}
