#include "checking/Verdicts.h"

#include "checking/SignatureTexts.h"

std::string VerdictStatusText(const std::string& passStatus, const VerdictTotals& totals)
{
    const auto count = [](size_t n) { return " " + std::to_string(n) + " 个"; };
    // The panel is 350 pixels wide: the counts that are 0 are left out, but for the matches.
    std::string text = passStatus + "，匹配" + count(totals.Matches);
    if (totals.Differs)
        text += "，不匹配" + count(totals.Differs);
    if (totals.Missing)
        text += "，文件不存在" + count(totals.Missing);
    if (totals.Unreadable)
        text += "，无法读取" + count(totals.Unreadable);
    if (totals.NotComputed)
        text += "，未计算" + count(totals.NotComputed);
    return text;
}

void JudgeEntries(CheckList& list, const ResultTree& tree, WindowPort& window, const std::string& passStatus)
{
    bool anyExpected = false;
    for (const ResultRoot& root : tree.Roots()) {
        if (root.Entry >= list.Count() || list.At(root.Entry).Expected.empty())
            continue;
        anyExpected = true;
        list.SetVerdict(root.Entry, JudgeAll(list.At(root.Entry).Expected, root.Digests));
    }
    if (anyExpected) {
        // The totals cover the whole list, also entries judged in an earlier pass.
        VerdictTotals totals;
        for (size_t i = 0; i < list.Count(); ++i)
            if (list.At(i).Verdict)
                totals.Count(*list.At(i).Verdict);
        std::string text = VerdictStatusText(passStatus, totals);
        if (list.SumSignature())
            text += SignatureTotalsSuffix(*list.SumSignature());
        window.SetStatusText(text);
    }
    window.PassEnded();
}
