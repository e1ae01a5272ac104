#include "platform/ostrevane/help_texts.h"

namespace ostrevane {

namespace {

// The options page of the filing add-in, by the numbers its controls ask for.
const std::vector<std::pair<int, std::string>> kPlovanex = {
    {0, "The order in which the add-in tries its filing modes on every sent email."},
    {1, "The mode tried first on every sent email."},
    {2, "The mode tried second, when the first one did not file the email."},
    {3, "The mode tried third, when the modes before it did not file the email."},
    {4, "The mode tried last, when none of the modes before it filed the email."},
    {5,
     "Files the emails of a folder you pick, one after another, by the modes set on these tabs. "
     "While it runs, the same button cancels it."},
    {6, "How far Run Now has come through the emails of the folder."},
    {7, "The progress of Run Now; the subject of the email being filed is shown below it."},
    {9, "Every time you send, you are asked for the folder the sent email goes to."},
    {10,
     "The folder every sent email goes to when you are not asked. Use Choose Outlook Folder to "
     "change it."},
    {11, "Opens the list of Outlook folders to pick the folder sent emails go to."},
    {13,
     "The keyword rules: an email whose subject or body holds one of a rule's keywords goes to "
     "the rule's folder. Right-click to add, edit or delete a rule."},
    {15,
     "The contact rules: an email to one of a rule's contacts goes to the rule's folder. "
     "Right-click to add, edit or delete a rule."},
    {25, "Every sent email goes to the folder shown below, without asking."},
    {28,
     "How emails sent from shared mailboxes and other accounts are filed, and the overrides for "
     "single accounts."},
    {29, "When checked, only the To recipients of an email are compared with the contact rules."},
};

}  // namespace

std::vector<std::pair<int, std::string>> ProductHelpTexts(const std::string& product) {
    if (product == "Plovanex") {
        return kPlovanex;
    }
    return {};
}

}  // namespace ostrevane
