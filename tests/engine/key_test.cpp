// Key preparation: equivalent key materials give equal keys, and a new key really replaces
// the previous one's warm-up state.

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "utf16le.h"

namespace velmora::test {
namespace {

std::vector<int> Stream(engine::Jmi& jmi, int count) {
    jmi.ResetEngine();
    std::vector<int> bytes;
    for (int i = 0; i < count; ++i) bytes.push_back(jmi.KeyStreamByte());
    return bytes;
}

TEST(KeyPreparation, EquivalentMaterialsGiveTheSameKey) {
    struct Case {
        const char* name;
        std::function<void(engine::Jmi&)> a;
        std::function<void(engine::Jmi&)> b;
    };
    const std::u16string password = u"Pass 密码 🔑";
    const Bytes passwordBytes = common::Utf16LeBytes(password);
    const std::vector<Case> cases = {
        {"password and a key file of its UTF-16LE bytes",
         [&](engine::Jmi& j) { j.SetKeyFromPassword(password, 0); },
         [&](engine::Jmi& j) { j.SetKeyFromBytes(passwordBytes, 0); }},
        {"empty password and no key-file bytes",
         [](engine::Jmi& j) { j.SetKeyFromPassword(u"", 0); },
         [](engine::Jmi& j) { j.SetKeyFromBytes({}, 1); }},
        {"direction does not change the key",
         [&](engine::Jmi& j) { j.SetKeyFromPassword(password, 0); },
         [&](engine::Jmi& j) { j.SetKeyFromPassword(password, 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine::Jmi a, b;
        c.a(a);
        c.b(b);
        EXPECT_EQ(a.KeyTable, b.KeyTable);
        EXPECT_EQ(a.KeyLast, b.KeyLast);
        EXPECT_EQ(Stream(a, 256), Stream(b, 256));
    }
}

TEST(KeyPreparation, SaltOnlyKeyHasTheShortTableLength) {
    engine::Jmi jmi;
    jmi.SetKeyFromBytes({}, 0);
    // h = 16 + 8 + (s mod 50) + 40, with the salt's checksum s mod 50 = 14.
    EXPECT_EQ(jmi.KeyLast, 78);
}

TEST(KeyPreparation, ResetAfterANewKeyUsesOnlyTheNewKey) {
    engine::Jmi fresh;
    fresh.SetKeyFromPassword(u"second", 0);
    const std::vector<int> expected = Stream(fresh, 512);

    engine::Jmi reused;
    reused.SetKeyFromPassword(u"first", 0);
    Stream(reused, 512);
    reused.SetKeyFromPassword(u"second", 0);
    EXPECT_EQ(Stream(reused, 512), expected);
    // A later reset starts from the same point, however far the stream ran before.
    EXPECT_EQ(Stream(reused, 512), expected);
}

TEST(KeyPreparation, KeyStreamFollowsTheFeedbackByte) {
    engine::Jmi a, b;
    a.SetKeyFromPassword(u"abc", 0);
    b.SetKeyFromPassword(u"abc", 0);
    a.ResetEngine();
    b.ResetEngine();
    EXPECT_EQ(a.KeyStreamByte(), b.KeyStreamByte());
    a.Feedback = 1;
    b.Feedback = 2;
    a.KeyStreamByte();
    b.KeyStreamByte();
    a.Feedback = b.Feedback = 0;
    int differing = 0;
    for (int i = 0; i < 64; ++i) differing += a.KeyStreamByte() != b.KeyStreamByte();
    EXPECT_GT(differing, 32);
}

TEST(KeyPreparation, AnEngineSharingAPreparedKeyCodesLikeTheOwner) {
    // The workers of one job read the owner's key table in place; a later key of the worker
    // is its own again and leaves the owner's untouched.
    Bytes keyFile(5000);
    for (std::size_t i = 0; i < keyFile.size(); ++i) keyFile[i] = static_cast<std::uint8_t>(i * 7);
    engine::Jmi owner;
    owner.SetKeyFromBytes(keyFile, 0);
    const std::vector<int> expected = Stream(owner, 512);

    for (const bool warmedUp : {true, false}) {
        SCOPED_TRACE(warmedUp ? "owner warmed up" : "owner not warmed up");
        engine::Jmi owner2;
        owner2.SetKeyFromBytes(keyFile, 0);
        if (warmedUp) owner2.ResetEngine();
        engine::Jmi worker;
        worker.ShareKey(owner2);
        EXPECT_TRUE(worker.KeyTable.empty());
        EXPECT_EQ(worker.KeyLast, owner2.KeyLast);
        EXPECT_EQ(Stream(worker, 512), expected);
        worker.SetKeyFromPassword(u"own", 0);
        EXPECT_EQ(Stream(owner2, 512), expected);
    }
}

}  // namespace
}  // namespace velmora::test
