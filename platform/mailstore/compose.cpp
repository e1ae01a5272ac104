#include <algorithm>
#include <cctype>
#include <random>

#include "platform/error.h"
#include "platform/mailstore/profile.h"

namespace mailstore {

namespace {

std::string Trim(const std::string& text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

RecipientRow ResolveRecipient(Profile& profile, const std::string& text, int type) {
    RecipientRow r;
    r.type = type;
    if (auto entry = profile.ResolveAddress(text)) {
        r.name = entry->name;
        r.address = entry->address;
        r.addressType = entry->type;
        r.entry = entry->id;
    } else {
        r.name = text;
        r.address = text;
        r.addressType = "SMTP";
    }
    return r;
}

std::vector<RecipientRow> ResolveRecipients(Profile& profile, const std::string& list, int type) {
    std::vector<RecipientRow> out;
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t next = list.find_first_of(";,", pos);
        auto piece = Trim(list.substr(pos, next == std::string::npos ? next : next - pos));
        if (!piece.empty()) {
            out.push_back(ResolveRecipient(profile, piece, type));
        }
        if (next == std::string::npos) {
            break;
        }
        pos = next + 1;
    }
    return out;
}

std::optional<Id> DefaultFolderOf(Profile& profile, int folderRole) {
    if (auto store = profile.DefaultStore()) {
        if (auto id = profile.DefaultFolder(store->id, folderRole)) {
            return id;
        }
    }
    if (folderRole == role::kPublicFoldersAll) {
        for (const auto& store : profile.Stores()) {
            if (auto id = profile.DefaultFolder(store.id, folderRole)) {
                return id;
            }
        }
    }
    return std::nullopt;
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

StoreRow SendingStore(Profile& profile, const std::string& smtp) {
    if (smtp.empty()) {
        auto store = profile.DefaultStore();
        if (!store) {
            throw platform::Error("Mail profile " + profile.File().string() + ": it has no store");
        }
        return *store;
    }
    for (const auto& store : profile.Stores()) {
        if (!store.ownerSmtp.empty() && SameText(store.ownerSmtp, smtp)) {
            return store;
        }
    }
    throw platform::Error("No mailbox of the profile sends as '" + smtp + "'");
}

SentInfo SenderInfo(Profile& profile, const StoreRow& mailbox) {
    SentInfo info;
    info.sentOn = NowText();
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char* const kDigits = "0123456789ABCDEF";
    std::string id;
    for (int i = 0; i < 24; ++i) {
        id += kDigits[random() & 0xF];
    }
    info.internetMessageId = "<" + id + "@ostrevane.local>";
    info.senderName = mailbox.ownerName;
    info.senderAddress = mailbox.ownerSmtp;
    if (auto entry = profile.ResolveAddress(mailbox.ownerSmtp);
        entry && !mailbox.ownerSmtp.empty()) {
        info.senderEntry = entry->id;
        if (entry->type == "EX") {
            info.senderAddress = entry->address;
        }
    }
    return info;
}

}  // namespace mailstore
