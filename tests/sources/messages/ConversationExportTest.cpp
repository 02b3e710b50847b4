// Conversations exported from a store held in the test, with attachments taken from a real
// fixture backup, and the pages read back by Python's HTML parser and by headless Chromium.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "catalog/Catalog.h"
#include "foundation/Log.h"
#include "sources/messages/ConversationExport.h"
#include "support/BackupWriter.h"
#include "support/HeicImage.h"
#include "support/ProcessRun.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

class VectorStore final : public ConversationStore {
  public:
    explicit VectorStore(std::vector<Conversation> conversations)
        : conversations_(std::move(conversations)) {
        for (const Conversation& conversation : conversations_)
            outlines_.push_back(conversation.outline);
    }
    const std::vector<ConversationOutline>& outlines() const override { return outlines_; }
    Result<Conversation> read(std::size_t index) override { return conversations_.at(index); }
    std::vector<std::string> warnings() const override { return {}; }

  private:
    std::vector<Conversation> conversations_;
    std::vector<ConversationOutline> outlines_;
};

// 2024-03-01 14:05:09 in Berlin (+01:00), and a minute on for each step.
constexpr UnixMillis firstDate = 1709298309000;
constexpr UnixMillis minute = 60000;
const std::string attachmentsPath = "Library/SMS/Attachments/ab/cd/GUID/";

Message said(std::size_t step, std::string text, bool fromMe = false) {
    Message message;
    message.date = firstDate + static_cast<UnixMillis>(step) * minute;
    message.fromMe = fromMe;
    message.sender = fromMe ? fromOwner : 0;
    message.text = std::move(text);
    return message;
}

Conversation withAda() {
    Conversation ada{{"", "iMessage", {{"+4915112345678", "Ada"}}, 0, {}, {}, {}}, {}};
    ada.messages.push_back(said(0, "<script>alert(1)</script> & \"quotes\""));
    Message reply = said(1, "Line one\nline two", true);
    reply.replyTo = 0;
    reply.edited = true;
    reply.reactions.push_back({0, "love", "❤️"});
    ada.messages.push_back(reply);
    Message photos = said(2, "", false);
    photos.text.reset();
    photos.attachments.push_back(
        {"IMG 1#.jpg", "image/jpeg", "MediaDomain", attachmentsPath + "IMG 1#.jpg", firstDate});
    photos.attachments.push_back({"cloud.mov", "video/quicktime", "MediaDomain",
                                  attachmentsPath + "cloud.mov", std::nullopt});
    ada.messages.push_back(photos);
    Message where = said(3, "", false);
    where.text.reset();
    where.note = "Contact card: Charles Babbage";
    where.location = Location{52.52, 13.405};
    where.unsent = true;
    ada.messages.push_back(where);
    Message event;
    event.date = firstDate + 4 * minute;
    event.event = "Ada named the conversation \"Engines\"";
    ada.messages.push_back(event);
    ada.outline.messageCount = ada.messages.size();
    return ada;
}

Conversation chessClub(std::size_t count) {
    Conversation club{
        {"Chess club", "SMS", {{"ada@example.com", ""}, {"+15550100", "Bob"}}, 0, {}, {}, {}}, {}};
    for (std::size_t step = 0; step < count; ++step) {
        club.messages.push_back(said(10 + step, "move " + std::to_string(step), step % 2 == 0));
        if (step % 2) club.messages.back().sender = 1;
    }
    club.messages.back().replyTo = 0;
    club.outline.messageCount = count;
    return club;
}

class ConversationExport : public ::testing::Test {
  protected:
    ConversationExport() {
        test::BackupWriter backup(device.directory);
        backup.addManifestDbFile("MediaDomain", attachmentsPath + "IMG 1#.jpg", "jpeg bytes",
                                 1709298000);
        catalog.buildCatalogForDevice(device);
    }

    ExportSummary exportAll(std::vector<Conversation> conversations,
                            ConversationExportOptions options = {},
                            const SaveProgress& progress = {}) {
        VectorStore store(std::move(conversations));
        return exportConversations(store, {device.directory, *device.applications, nullptr},
                                   destination, options, progress);
    }

    Json exportedJson() const {
        return Json::parse(test::readText(destination + "/messages.json"));
    }

    Json readPage(const std::string& relative) const {
        auto run = test::runProcess("/usr/bin/python3",
                                    {SALVORA_PAGE_READER, destination + "/" + relative});
        EXPECT_EQ(run.status, 0) << run.err;
        return Json::parse(run.out);
    }

    LogSilence silence;
    test::TemporaryFolder folder;
    std::string destination = folder / "out";
    DeviceRecord device{std::nullopt, std::nullopt, folder / "backup", nullptr};
    Catalog catalog;
};

TEST_F(ConversationExport, WritesEveryMessageForProgramsAndPeople) {
    const ExportSummary summary = exportAll({withAda(), chessClub(3)});
    ASSERT_FALSE(summary.error) << summary.error->description();
    EXPECT_EQ(summaryCounts(summary),
              "2 conversations, 8 messages, 1 attachment, 1 not in this backup, 0 failed");
    EXPECT_EQ(summary.notInBackup, std::vector<std::string>{"Ada/cloud.mov"});
    EXPECT_EQ(summary.firstPage, destination + "/index.html");

    const Json json = exportedJson();
    ASSERT_EQ(json["conversations"].size(), 2u);
    const Json& ada = json["conversations"][0];
    EXPECT_EQ(ada["title"], "Ada");
    EXPECT_EQ(ada["participants"], Json::parse(R"([{"handle":"+4915112345678","name":"Ada"}])"));
    const Json& messages = ada["messages"];
    EXPECT_EQ(messages[0], Json::parse(R"({"date":"2024-03-01T14:05:09+01:00","fromMe":false,
        "sender":{"handle":"+4915112345678","name":"Ada"},
        "text":"<script>alert(1)</script> & \"quotes\"","attachments":[],"reactions":[],
        "replyTo":null,"edited":false,"unsent":false,"event":null})"));
    EXPECT_EQ(messages[1]["sender"], nullptr);
    EXPECT_EQ(messages[1]["replyTo"], 0);
    EXPECT_EQ(messages[1]["edited"], true);
    EXPECT_EQ(messages[1]["reactions"][0]["emoji"], "❤️");
    EXPECT_EQ(messages[2]["attachments"], Json::parse(R"([
        {"name":"IMG 1#.jpg","path":"Ada/attachments/IMG 1#.jpg","mimeType":"image/jpeg"},
        {"name":"cloud.mov","path":null,"mimeType":"video/quicktime"}])"));
    EXPECT_FALSE(messages[2].contains("location"));
    EXPECT_EQ(messages[3]["location"], Json::parse(R"({"latitude":52.52,"longitude":13.405})"));
    EXPECT_EQ(messages[3]["note"], "Contact card: Charles Babbage");
    EXPECT_EQ(messages[4]["event"], "Ada named the conversation \"Engines\"");
    EXPECT_EQ(json["conversations"][1]["messages"][1]["sender"]["name"], "Bob");

    EXPECT_EQ(test::readText(destination + "/Ada/attachments/IMG 1#.jpg"), "jpeg bytes");
    EXPECT_EQ(test::modificationSeconds(destination + "/Ada/attachments/IMG 1#.jpg"),
              firstDate / 1000);
    EXPECT_EQ(test::readText(destination + "/Ada/conversation.txt"),
              "2024-03-01 14:05 +01:00 Ada: <script>alert(1)</script> & \"quotes\"\n"
              "2024-03-01 14:06 +01:00 Me: (reply to Ada) Line one \u23CE line two [❤️ Ada] "
              "(edited)\n"
              "2024-03-01 14:07 +01:00 Ada: [attachment: IMG 1#.jpg] [attachment: cloud.mov (not "
              "in this backup)]\n"
              "2024-03-01 14:08 +01:00 Ada: Contact card: Charles Babbage [location: 52.520000, "
              "13.405000] (unsent)\n"
              "2024-03-01 14:09 +01:00 — Ada named the conversation \"Engines\"\n");
}

TEST_F(ConversationExport, PagesShowThePhonesTextAsText) {
    ASSERT_FALSE(exportAll({withAda()}).error);
    const Json page = readPage("Ada/page-1.html");
    EXPECT_EQ(page["unbalanced"], Json::array());
    EXPECT_EQ(page["scripts"], 0);
    EXPECT_EQ(page["texts"]["t"][0], "<script>alert(1)</script> & \"quotes\"");
    EXPECT_EQ(page["texts"]["t"][1], "Line one\nline two");
    EXPECT_EQ(page["texts"]["q"][0], "Ada: <script>alert(1)</script> & \"quotes\"");
    EXPECT_EQ(page["texts"]["missing"][0], "cloud.mov (not in this backup)");
    EXPECT_EQ(page["texts"]["flag"], Json::parse(R"(["edited","unsent"])"));
    const std::string html = test::readText(destination + "/Ada/page-1.html");
    EXPECT_NE(html.find("<img src=\"attachments/IMG%201%23.jpg\""), std::string::npos);
    EXPECT_EQ(readPage("index.html")["unbalanced"], Json::array());
}

TEST_F(ConversationExport, ShowsAHeicPhotoByAJpegBesideIt) {
    const std::string heic = test::heicImage();
    if (heic.empty()) GTEST_SKIP() << "libheif has no HEVC encoder here";
    {
        test::BackupWriter backup(device.directory);
        backup.addManifestDbFile("MediaDomain", attachmentsPath + "IMG_2.HEIC", heic);
        backup.addManifestDbFile("MediaDomain", attachmentsPath + "broken.heic", "no image");
    }
    catalog.buildCatalogForDevice(device);
    Conversation ada = withAda();
    Message photos = said(5, "photos");
    photos.attachments.push_back(
        {"IMG_2.HEIC", "image/heic", "MediaDomain", attachmentsPath + "IMG_2.HEIC", firstDate});
    photos.attachments.push_back(
        {"broken.heic", "", "MediaDomain", attachmentsPath + "broken.heic", firstDate});
    ada.messages = {photos};
    const ExportSummary summary = exportAll({ada});
    ASSERT_FALSE(summary.error) << summary.error->description();
    EXPECT_EQ(summaryCounts(summary), "1 conversation, 1 message, 2 attachments, 0 failed");

    const std::string jpeg = test::readText(destination + "/Ada/attachments/IMG_2.HEIC.jpg");
    EXPECT_EQ(jpeg.substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(test::modificationSeconds(destination + "/Ada/attachments/IMG_2.HEIC.jpg"),
              firstDate / 1000);
    EXPECT_EQ(test::readText(destination + "/Ada/attachments/IMG_2.HEIC"), heic);
    EXPECT_FALSE(fs::exists(destination + "/Ada/attachments/broken.heic.jpg"));
    const std::string html = test::readText(destination + "/Ada/page-1.html");
    EXPECT_NE(
        html.find("<a href=\"attachments/IMG_2.HEIC\"><img src=\"attachments/IMG_2.HEIC.jpg\""),
        std::string::npos);
    EXPECT_NE(html.find("<a href=\"attachments/broken.heic\">broken.heic</a>"), std::string::npos);
    EXPECT_EQ(exportedJson()["conversations"][0]["messages"][0]["attachments"][0]["path"],
              "Ada/attachments/IMG_2.HEIC");
}

TEST_F(ConversationExport, SplitsLongConversationsIntoLinkedPages) {
    ConversationExportOptions options;
    options.messagesPerPage = 3;
    ASSERT_FALSE(exportAll({chessClub(7)}, options).error);
    for (int page = 1; page <= 3; ++page) {
        const std::string html =
            test::readText(destination + "/Chess club/page-" + std::to_string(page) + ".html");
        EXPECT_EQ(html.find("rel=\"prev\"") != std::string::npos, page > 1);
        EXPECT_EQ(html.find("rel=\"next\"") != std::string::npos, page < 3);
    }
    EXPECT_FALSE(fs::exists(destination + "/Chess club/page-4.html"));
    // The last message's quote leads to the first page.
    EXPECT_NE(
        test::readText(destination + "/Chess club/page-3.html").find("href=\"page-1.html#m0\""),
        std::string::npos);
}

TEST_F(ConversationExport, KeepsOnlyWhatTheFiltersAsk) {
    ConversationExportOptions options;
    options.conversation = "BOB";
    options.since = firstDate + 11 * minute;
    options.attachments = false;
    ASSERT_FALSE(exportAll({withAda(), chessClub(4)}, options).error);
    const Json json = exportedJson();
    ASSERT_EQ(json["conversations"].size(), 1u);
    const Json& messages = json["conversations"][0]["messages"];
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0]["text"], "move 1");
    // Its reply points at a message left out.
    EXPECT_EQ(messages[2]["replyTo"], nullptr);
}

TEST_F(ConversationExport, SplitsTheSearchDataIntoPartsTheIndexLoadsInOrder) {
    // Three conversations of about 2.5 MB of search data each: the first two fill a part.
    std::vector<Conversation> conversations;
    for (const char* name : {"Ada", "Bob", "Cy"}) {
        Conversation conversation{{name, "SMS", {{"+15550100", name}}, 0, {}, {}, {}}, {}};
        for (std::size_t step = 0; step < 20'000; ++step)
            conversation.messages.push_back(said(step, std::string(100, 'w')));
        conversation.outline.messageCount = conversation.messages.size();
        conversations.push_back(std::move(conversation));
    }
    ASSERT_FALSE(exportAll(std::move(conversations)).error);
    const std::string first = test::readText(destination + "/search/1.js");
    const std::string second = test::readText(destination + "/search/2.js");
    EXPECT_FALSE(fs::exists(destination + "/search/3.js"));
    for (const std::string* part : {&first, &second})
        EXPECT_TRUE(part->starts_with("window.salvoraSearch = window.salvoraSearch || [];\n"));
    EXPECT_NE(first.find("\"folder\":\"Bob\""), std::string::npos);
    EXPECT_NE(second.find("\"folder\":\"Cy\""), std::string::npos);
    const std::string index = test::readText(destination + "/index.html");
    EXPECT_LT(index.find("<script src=\"search/1.js\">"),
              index.find("<script src=\"search/2.js\">"));
    EXPECT_EQ(index.find("<script src=\"search/2.js\">"), index.rfind("<script src=\"search/"));
}

TEST_F(ConversationExport, ReplacesAnEarlierExportOnlyOnceComplete) {
    ASSERT_FALSE(exportAll({withAda()}).error);
    const std::string earlier = test::readText(destination + "/messages.json");
    const ExportSummary cancelled =
        exportAll({chessClub(2), withAda()}, {},
                  [](const SaveStatus& status) { return status.filesDone == 0; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(test::readText(destination + "/messages.json"), earlier);
    EXPECT_FALSE(fs::exists(destination + "/Chess club"));

    Conversation twin = withAda();
    twin.outline.participants[0].name = "ADA";
    ASSERT_FALSE(exportAll({withAda(), twin}).error);
    EXPECT_TRUE(fs::exists(destination + "/ADA (2)/page-1.html"));
    EXPECT_EQ(exportedJson()["conversations"].size(), 2u);
}

TEST_F(ConversationExport, ShowsMessagesAndSearchResultsInABrowser) {
    if (!fs::exists("/usr/bin/chromium")) GTEST_SKIP() << "chromium is not installed";
    // A title the export's own search folder has takes a folder of its own.
    Conversation club = chessClub(3);
    club.outline.title = "Search";
    ASSERT_FALSE(exportAll({withAda(), club}).error);
    auto dump = [&](const std::string& url) {
        auto run = test::runProcess("/usr/bin/chromium",
                                    {"--headless", "--no-sandbox", "--disable-gpu",
                                     "--user-data-dir=" + folder / "profile", "--dump-dom", url});
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    };
    const std::string page = dump("file://" + destination + "/Ada/page-1.html");
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    const std::string index = dump("file://" + destination + "/index.html?q=move%202");
    EXPECT_NE(index.find("1 message found"), std::string::npos);
    EXPECT_NE(index.find("Search%20(2)/page-1.html#m2"), std::string::npos);
}

}  // namespace
}  // namespace salvora
