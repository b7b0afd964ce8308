#include "ResourceTestSupport.h"

#include "MvFailedCheck.h"
#include "MvMemoryStream.h"
#include "MvResource.h"
#include "MvResourceFactory.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"
#include "MvSpriteResource.h"
#include "MvTileResource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace restest;

// A kind that overrides only what every kind must.
class ProbeResource : public MvResource {
public:
    int Type() const override { return 99; }
    const std::string& TypeName() const override
    {
        static const std::string name = "Probe";
        return name;
    }
};

// The base gives a new resource an empty name and id 0, null typed views, no scale cache
// and no collision map.
TEST(MvResource, BaseBehaviourIsEmpty)
{
    ProbeResource probe;
    EXPECT_STREQ("", probe.Name());
    EXPECT_EQ(0, probe.Id());
    EXPECT_EQ(nullptr, probe.AsSpriteResource());
    EXPECT_EQ(nullptr, probe.AsTileResource());
    EXPECT_EQ(nullptr, probe.AsCanvasResource());
    EXPECT_EQ(nullptr, probe.AsFontResource());
    EXPECT_EQ(nullptr, probe.AsTextDataResource());
    EXPECT_EQ(nullptr, probe.AsBinaryDataResource());
    const MvFixed one = MvFixed::FromInt(1), two = MvFixed::FromInt(2);
    probe.AddScaleCache(two, two);
    EXPECT_FALSE(probe.HasScaleCache(two, two));
    EXPECT_FALSE(probe.HasScaleCache(one, one));
    probe.ClearScaleCache();
    EXPECT_EQ(nullptr, probe.GetCollisionMask(nullptr, 0));
    probe.SetIdentity("probe", 12);
    EXPECT_STREQ("probe", probe.Name());
    EXPECT_EQ(12, probe.Id());
}

// A sprite resource answers type 2 and "Sprite", and only its own view returns it; the
// type name is one string shared by every sprite.
TEST(MvResource, SpriteResourceAnswersItsKind)
{
    MvSpriteResource a("a"), b("b");
    EXPECT_EQ(2, a.Type());
    EXPECT_EQ("Sprite", a.TypeName());
    EXPECT_EQ(&a.TypeName(), &b.TypeName());
    EXPECT_EQ(&a, a.AsSpriteResource());
    EXPECT_EQ(nullptr, a.AsFontResource());
    EXPECT_EQ(nullptr, a.AsTileResource());
    EXPECT_EQ(nullptr, a.AsCanvasResource());
    EXPECT_EQ(nullptr, a.GetCollisionMask(nullptr, 0));
    EXPECT_STREQ("a", a.Name());
    EXPECT_EQ(0, a.Id());
}

TEST(MvResourceFactory, OneInstanceAtATimeMadeAfreshAfterDeletion)
{
    MvResourceFactory* first = MvResourceFactory::Instance();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, MvResourceFactory::Instance());
    delete first;
    MvResourceFactory* second = MvResourceFactory::Instance();
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(second, MvResourceFactory::Instance());
    delete second;
}

// Type code 2 makes a sprite resource and type code 3 a tile from the payload; every
// other code, the run-time kinds 4 and 6 among them, is file input the table does not
// list: a warning, null, and nothing read.
TEST(MvResourceFactory, CreatesListedKindsAndWarnsAboutOthers)
{
    const std::vector<uint8_t> payload = ByteBuilder().Name("").U32(41).U32(0).Bytes();
    const uint32_t unlisted[] = {0, 1, 4, 6, 9, 0xFFFFFFFF};
    for (uint32_t type : unlisted) {
        SCOPED_TRACE(type);
        MvMemoryStream stream(payload.data(), payload.size());
        MvResourceReader reader(stream.Stream(), "kinds.dat");
        MvLogCapture log;
        std::unique_ptr<MvResource> made(MvResourceFactory::Instance()->Create(type, 9, reader));
        EXPECT_EQ(nullptr, made.get());
        EXPECT_EQ("Warning: could not find resource id=" + std::to_string(type) + " in MvResourceFactory\n",
                  log.Text());
        EXPECT_EQ(0, reader.Offset());
        EXPECT_FALSE(reader.Failed());
    }

    MvMemoryStream stream(payload.data(), payload.size());
    MvResourceReader reader(stream.Stream(), "kinds.dat");
    std::unique_ptr<MvResource> made(MvResourceFactory::Instance()->Create(2, 9, reader));
    ASSERT_NE(nullptr, made);
    ASSERT_NE(nullptr, made->AsSpriteResource());
    EXPECT_STREQ("", made->Name()); // a payload that begins with a single zero byte
    EXPECT_EQ(41, made->Id());
    EXPECT_EQ(9, reader.Offset());

    // A 1 x 1 tile without alpha: flags, width, height and one 3-byte pixel.
    const std::vector<uint8_t> tilePayload =
        ByteBuilder().Name("t").U32(5).U32(0).U32(1).U32(1).U8(1).U8(2).U8(3).Bytes();
    MvMemoryStream tileStream(tilePayload.data(), tilePayload.size());
    MvResourceReader tileReader(tileStream.Stream(), "kinds.dat");
    MvLogCapture log;
    std::unique_ptr<MvResource> tile(
        MvResourceFactory::Instance()->Create(3, static_cast<uint32_t>(tilePayload.size()), tileReader));
    ASSERT_NE(nullptr, tile);
    ASSERT_NE(nullptr, tile->AsTileResource());
    EXPECT_EQ(nullptr, tile->AsSpriteResource());
    EXPECT_EQ(3, tile->Type());
    EXPECT_EQ("Tile", tile->TypeName());
    EXPECT_STREQ("t", tile->Name());
    EXPECT_EQ(5, tile->Id());
    EXPECT_EQ(1, tile->AsTileResource()->Size());
    EXPECT_EQ(static_cast<long>(tilePayload.size()), tileReader.Offset());
    EXPECT_EQ("Creating tile resource 't' id=5\n", log.Text());
    delete MvResourceFactory::Instance();
}

TEST(MvResourceDeathTest, BrokenPreconditionsAreCaught)
{
    ProbeResource probe;
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    EXPECT_DEATH(probe.Save(writer), MvFailedCheck("!\"this kind of resource cannot be saved\""));
    EXPECT_DEATH(probe.SetIdentity(nullptr, 1), MvFailedCheck("name != nullptr"));
    EXPECT_DEATH(MvSpriteResource(static_cast<const char*>(nullptr)), MvFailedCheck("name != nullptr"));
}

} // namespace
