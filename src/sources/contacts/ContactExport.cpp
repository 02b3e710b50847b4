#include "sources/contacts/ContactExport.h"

#include <array>
#include <ctime>
#include <set>
#include <span>

#include "export/Csv.h"
#include "export/ExportFolder.h"
#include "export/VCard.h"
#include "foundation/FileWriting.h"
#include "recovery/DestinationNames.h"
#include "recovery/SafeNames.h"

namespace salvora {
namespace {

// The phone's built-in labels that vCard says with TYPE, and how.
struct BuiltInLabel {
    std::string_view label;
    std::string_view types;
    std::string_view shown;  // in the CSV
};
constexpr std::array builtInLabels = {
    BuiltInLabel{"_$!<Mobile>!$_", "CELL", "Mobile"},
    BuiltInLabel{"iPhone", "CELL,IPHONE", "iPhone"},
    BuiltInLabel{"_$!<Home>!$_", "HOME", "Home"},
    BuiltInLabel{"_$!<Work>!$_", "WORK", "Work"},
    BuiltInLabel{"_$!<Main>!$_", "MAIN", "Main"},
    BuiltInLabel{"_$!<HomeFAX>!$_", "HOME,FAX", "Home Fax"},
    BuiltInLabel{"_$!<WorkFAX>!$_", "WORK,FAX", "Work Fax"},
    BuiltInLabel{"_$!<OtherFAX>!$_", "FAX", "Other Fax"},
    BuiltInLabel{"_$!<Pager>!$_", "PAGER", "Pager"},
    BuiltInLabel{"_$!<Other>!$_", "OTHER", "Other"},
    BuiltInLabel{"_$!<School>!$_", "SCHOOL", "School"},
};

const BuiltInLabel* builtIn(std::string_view label) {
    for (const BuiltInLabel& known : builtInLabels)
        if (known.label == label) return &known;
    return nullptr;
}

// A label as a person reads it: "Mobile", "Anniversary", "Boat".
std::string shownLabel(std::string_view label) {
    if (const BuiltInLabel* known = builtIn(label)) return std::string(known->shown);
    if (label.starts_with("_$!<") && label.ends_with(">!$_")) label = label.substr(4, label.size() - 8);
    return std::string(label);
}

class CardBuilder {
  public:
    explicit CardBuilder(const Contact& contact) : contact_(contact) {}

    std::string build() && {
        const Contact& c = contact_;
        card_.addRaw("", "N", "", vCardParts({c.last, c.first, c.middle, c.prefix, c.suffix}));
        std::string name = displayName(c);
        card_.addText("", "FN", "", name);
        text("NICKNAME", c.nickname);
        text("X-PHONETIC-FIRST-NAME", c.firstPhonetic);
        text("X-PHONETIC-MIDDLE-NAME", c.middlePhonetic);
        text("X-PHONETIC-LAST-NAME", c.lastPhonetic);
        if (!c.organization.empty() || !c.department.empty())
            card_.addRaw("", "ORG", "",
                         c.department.empty() ? contentText(c.organization)
                                              : vCardParts({c.organization, c.department}));
        text("TITLE", c.jobTitle);
        if (c.company) card_.addRaw("", "X-ABShowAs", "", "COMPANY");
        if (c.birthday) card_.addRaw("", "BDAY", "VALUE=date", *c.birthday);
        for (const LabeledValue& phone : c.phones) labeled("TEL", "", phone.label, contentText(phone.value));
        for (const LabeledValue& email : c.emails)
            labeled("EMAIL", "TYPE=INTERNET", email.label, contentText(email.value));
        for (const PostalAddress& a : c.addresses)
            labeled("ADR", "", a.label,
                    vCardParts({"", "", a.street, a.city, a.state, a.postalCode, a.country}));
        for (const LabeledValue& url : c.urls) labeled("URL", "", url.label, contentText(url.value));
        for (const LabeledValue& date : c.dates) labeled("X-ABDATE", "", date.label, date.value);
        for (const LabeledValue& related : c.relatedNames)
            labeled("X-ABRELATEDNAMES", "", related.label, contentText(related.value));
        for (const ServiceAccount& profile : c.socialProfiles)
            labeled("X-SOCIALPROFILE", typeParameter(profile.service), profile.label,
                    contentText(profile.url.empty() ? profile.username : profile.url));
        for (const ServiceAccount& account : c.instantMessaging)
            labeled("IMPP", serviceParameter(account.service), account.label,
                    contentText(account.username));
        text("NOTE", c.note);
        if (!c.groups.empty()) {
            std::string categories;
            for (const std::string& group : c.groups)
                categories += (categories.empty() ? "" : ",") + contentText(group);
            card_.addRaw("", "CATEGORIES", "", categories);
        }
        if (!c.photo.empty())
            card_.addRaw("", "PHOTO", "ENCODING=b;TYPE=" + imageType(c.photo),
                         base64(std::as_bytes(std::span(c.photo.data(), c.photo.size()))));
        if (c.modified) card_.addRaw("", "REV", "", isoTime(*c.modified));
        return std::move(card_).finish();
    }

  private:
    static std::string typeParameter(const std::string& service) {
        return service.empty() ? std::string() : "TYPE=" + parameterValue(service);
    }
    static std::string serviceParameter(const std::string& service) {
        return service.empty() ? std::string() : "X-SERVICE-TYPE=" + parameterValue(service);
    }
    // The phone keeps JPEG, and PNG for some images other programs gave it.
    static std::string imageType(std::string_view image) {
        if (image.starts_with("\x89PNG")) return "PNG";
        if (image.size() > 12 && image.substr(4, 4) == "ftyp") return "HEIC";
        return "JPEG";
    }
    static std::string isoTime(std::int64_t seconds) {
        const std::time_t time = static_cast<std::time_t>(seconds);
        std::tm parts{};
        char text[32] = "";
        if (::gmtime_r(&time, &parts)) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
        return text;
    }

    void text(std::string_view name, const std::string& value) {
        if (!value.empty()) card_.addText("", name, "", value);
    }

    // A built-in label as TYPE; any other kept beside the value as the phone's export keeps it.
    void labeled(std::string_view name, std::string parameters, const std::string& label,
                 const std::string& value) {
        const BuiltInLabel* known = builtIn(label);
        if (known && parameters.starts_with("TYPE="))
            parameters += "," + std::string(known->types);
        else if (known)
            parameters += (parameters.empty() ? "TYPE=" : ";TYPE=") + std::string(known->types);
        if (known || label.empty()) {
            card_.addRaw("", name, parameters, value);
            return;
        }
        const std::string group = "item" + std::to_string(++items_);
        card_.addRaw(group, name, parameters, value);
        card_.addText(group, "X-ABLabel", "", label);
    }

    const Contact& contact_;
    VCard card_;
    unsigned items_ = 0;
};

template <typename T, typename Shown>
std::string joined(const std::vector<T>& values, Shown shown) {
    std::string text;
    for (const T& value : values) {
        std::string one = shown(value);
        if (one.empty()) continue;
        if (!text.empty()) text += "; ";
        text += one;
    }
    return text;
}

std::string withLabel(const std::string& label, const std::string& value) {
    const std::string shown = shownLabel(label);
    return shown.empty() ? value : shown + ": " + value;
}

std::string labeledValues(const std::vector<LabeledValue>& values) {
    return joined(values, [](const LabeledValue& value) { return withLabel(value.label, value.value); });
}

std::string addressText(const PostalAddress& a) {
    std::string text;
    for (const std::string* part : {&a.street, &a.postalCode, &a.city, &a.state, &a.country}) {
        if (part->empty()) continue;
        if (!text.empty()) text += part == &a.city && !a.postalCode.empty() ? " " : ", ";
        text += *part;
    }
    return text.empty() ? text : withLabel(a.label, text);
}

std::string accountsText(const std::vector<ServiceAccount>& accounts) {
    return joined(accounts, [](const ServiceAccount& account) {
        std::string value = account.url.empty() ? account.username : account.url;
        if (value.empty()) return value;
        return account.service.empty() ? value : account.service + ": " + value;
    });
}

std::string dateText(std::optional<std::int64_t> seconds) {
    if (!seconds) return {};
    const std::time_t time = static_cast<std::time_t>(*seconds);
    std::tm parts{};
    char text[32] = "";
    if (::localtime_r(&time, &parts)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

}  // namespace

std::string vCardOf(const Contact& contact) { return CardBuilder(contact).build(); }

std::string contactsCsv(const AddressBook& book) {
    std::string csv;
    appendCsvRecord(csv, {"Name", "First Name", "Middle Name", "Last Name", "Prefix", "Suffix",
                          "Nickname", "Phonetic First Name", "Phonetic Middle Name",
                          "Phonetic Last Name", "Company", "Department", "Job Title", "Phones",
                          "E-mails", "Addresses", "Websites", "Birthday", "Dates", "Related Names",
                          "Social Profiles", "Instant Messaging", "Groups", "Note", "Created",
                          "Modified"});
    for (const Contact& c : book.contacts)
        appendCsvRecord(csv, {displayName(c), c.first, c.middle, c.last, c.prefix, c.suffix,
                              c.nickname, c.firstPhonetic, c.middlePhonetic, c.lastPhonetic,
                              c.organization, c.department, c.jobTitle, labeledValues(c.phones),
                              labeledValues(c.emails), joined(c.addresses, addressText),
                              labeledValues(c.urls), c.birthday.value_or(""),
                              labeledValues(c.dates), labeledValues(c.relatedNames),
                              accountsText(c.socialProfiles), accountsText(c.instantMessaging),
                              joined(c.groups, [](const std::string& group) { return group; }), c.note, dateText(c.created),
                              dateText(c.modified)});
    return csv;
}

ExportSummary exportContacts(const AddressBook& book, const std::string& destination,
                             const ContactExportOptions& options, const SaveProgress& progress) {
    ExportSummary summary;
    summary.warnings = book.warnings;
    auto folder = ExportFolder::begin(destination, "contacts");
    if (!folder) {
        summary.error = folder.error();
        return summary;
    }
    const std::size_t total = 2 + (options.onePerContact ? book.contacts.size() : 0);
    std::size_t done = 0;
    auto step = [&](std::string_view current) {
        if (!progress) return true;
        return progress(SaveStatus{done++, total, 0, 0, current});
    };
    DestinationNames names(options.portableNames);
    auto write = [&](const OpenFolder& into, const std::string& name, std::string_view text) {
        if (!step(name)) return false;
        const auto written = writeAtomically(std::as_bytes(std::span(text.data(), text.size())),
                                             into, name, names.making(into, name, std::nullopt));
        if (!written)
            summary.failures.push_back({into.pathOf(name), written.error()});
        else if (*written != name)
            summary.renamed.push_back(
                {into.pathOf(name), std::nullopt, std::nullopt, into.pathOf(*written)});
        return true;
    };

    std::string all;
    std::vector<std::string> cards;
    cards.reserve(book.contacts.size());
    for (const Contact& contact : book.contacts) {
        cards.push_back(vCardOf(contact));
        all += cards.back();
    }
    bool going = write(folder->folder(), "contacts.vcf", all) &&
                 write(folder->folder(), "contacts.csv", contactsCsv(book));
    if (going && options.onePerContact) {
        auto vcards = openFolderIn(folder->folder(), "vcards", CreateMissing::Yes);
        if (!vcards) {
            summary.error = vcards.error();
            return summary;
        }
        // Two people of one name get "NAME.vcf" and "NAME (2).vcf", whatever the drive's case.
        std::set<std::string> taken;
        for (std::size_t index = 0; going && index < cards.size(); ++index) {
            const Contact& contact = book.contacts[index];
            std::string name = withoutSeparators(displayName(contact));
            if (name.empty() || name.starts_with('.')) name = "Contact " + std::to_string(contact.id);
            const std::string planned = names.firstTried(name + ".vcf");
            std::string chosen;
            for (unsigned number = 1; chosen.empty() || !taken.insert(letterCaseKey(chosen)).second;
                 ++number)
                chosen = numberedName(planned, number);
            going = write(*vcards, chosen, cards[index]);
        }
    }
    if (!going || (progress && !progress(SaveStatus{done, total, 0, 0, ""}))) {
        summary.cancelled = true;
        return summary;
    }
    if (Status committed = folder->commit(); !committed) {
        summary.error = committed.error();
        return summary;
    }
    summary.counts.push_back({book.contacts.size(), "contact", "contacts"});
    summary.firstPage = folder->destination() + "/contacts.vcf";
    return summary;
}

ExportSummary exportBackupContacts(const std::string& deviceDirectory,
                                   const ApplicationMap& applications, const UnlockedKeybag* keybag,
                                   const std::string& destination,
                                   const ContactExportOptions& options,
                                   const SaveProgress& progress) {
    auto book = readBackupAddressBook(deviceDirectory, applications, keybag);
    if (!book) {
        ExportSummary summary;
        summary.error = book.error();
        return summary;
    }
    return exportContacts(*book, destination, options, progress);
}

}  // namespace salvora
