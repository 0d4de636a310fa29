// The project file: parsing, resources and plug-ins into the rsrc member,
// icons and the version record into the options member.
#include "ElfObject.h"
#include "ImageFormat.h"
#include "ProjectFile.h"
#include "TestObjects.h"

#include <gtest/gtest.h>
#include <png.h>

using namespace kqlink;
using namespace kqlinktest;

namespace {

void WritePng(const std::string &path, uint32_t width, uint32_t height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(width * height * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 7);
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr));
}

ProjectFile Project(const TempDir &dir, const std::string &text) {
    dir.Write("app.kqp", text);
    return ProjectFile::Load(dir.File("app.kqp"));
}

} // namespace

TEST(Project, ParsesKeyValueLinesSkippingCommentsAndBlankLines) {
    ProjectFile p =
        ProjectFile::Parse("# comment\n\nName = pillwerk \n  Source=a.kst\nsource = b.kst\n"
                           "version.package =\n",
                           "p.kqp", ".");
    EXPECT_EQ(p.All("name"), std::vector<std::string>{"pillwerk"});
    EXPECT_EQ(p.All("source"), (std::vector<std::string>{"a.kst", "b.kst"}));
    EXPECT_EQ(p.All("version.package"), std::vector<std::string>{""});
    try {
        ProjectFile::Parse("name = x\nthis line has no equals sign\n", "p.kqp", ".");
        FAIL();
    } catch (const LinkError &e) {
        EXPECT_NE(std::string(e.what()).find("p.kqp:2:"), std::string::npos) << e.what();
    }
}

TEST(Project, ResourcesAndPluginsBecomeRecordsInOrder) {
    TempDir dir;
    dir.Write("logo.bmp", "BMdata");
    dir.Write("note.txt", "hi");
    dir.Write("libX.so", "\177ELF..");
    ProjectFile p = Project(dir, "resource = \"BMP \" 0 logo.bmp\nresource = TEXT 128 note.txt\n"
                                 "plugin = libX.so\n");
    std::vector<uint8_t> r = BuildResources(p);
    ASSERT_EQ(r.size(), 14u + 6 + 14 + 2 + 14 + 1 + 7 + 6);
    EXPECT_EQ(Word(r, 0), kqimage::FourCC("BMP "));
    EXPECT_EQ(r[4] | r[5] << 8, 0);
    EXPECT_EQ(Word(r, 10), 6u);
    EXPECT_EQ(std::string(r.begin() + 14, r.begin() + 20), "BMdata");
    EXPECT_EQ(Word(r, 20), kqimage::FourCC("TEXT"));
    EXPECT_EQ(r[24] | r[25] << 8, 128);
    size_t plugin = 20 + 14 + 2;
    EXPECT_EQ(Word(r, uint32_t(plugin)), kqimage::kResourcePlugin);
    EXPECT_EQ(r[plugin + 4] | r[plugin + 5] << 8, 65535);
    EXPECT_EQ(r[plugin + 14], 7);
    EXPECT_EQ(std::string(r.begin() + long(plugin) + 15, r.end()), "libX.so\177ELF..");

    for (const char *bad : {"resource = TOOLONG 1 note.txt\n", "resource = TEXT 70000 note.txt\n",
                            "resource = TEXT 1\n", "resource = TEXT 1 missing.txt\n"})
        EXPECT_THROW(BuildResources(Project(dir, bad)), LinkError) << bad;
}

TEST(Project, BarePluginNamesAreLookedForInPluginFoldersBesideTheProjectThenInstalled) {
    TempDir project, first, second, installed;
    project.Write("libA.so", "beside");
    project.Write("libB.so", "beside");
    second.Write("libA.so", "second");
    first.Write("libB.so", "first");
    second.Write("libB.so", "second");
    installed.Write("libB.so", "installed");
    installed.Write("libC.so", "installed");
    ProjectFile p = Project(
        project, "plugin = libA.so\nplugin = libB.so\nplugin = ./libB.so\nplugin = libC.so\n");
    p.pluginFolders = {first.Path(), second.Path()};
    p.installedPluginFolder = installed.Path();
    std::vector<uint8_t> bytes = BuildResources(p);
    std::string r(bytes.begin(), bytes.end());
    // A record is 14 bytes of header, the name's length byte and name, then
    // the library; a name with a folder is taken beside the project.
    EXPECT_EQ(r.substr(14 + 8, 6), "second");
    EXPECT_EQ(r.substr(2 * 14 + 8 + 6 + 8, 5), "first");
    EXPECT_EQ(r.substr(3 * 14 + 2 * 8 + 11 + 8, 6), "beside");
    EXPECT_EQ(r.substr(4 * 14 + 2 * 8 + 11 + 6 + 8 + 8, 9), "installed");

    // A plug-in's manifest is looked for like its library; when it is
    // nowhere, the installed place is where it was expected.
    first.Write("libB.manifest", "");
    installed.Write("libB.manifest", "");
    installed.Write("libC.manifest", "");
    EXPECT_EQ(p.PluginManifestPath("libB.so"), first.File("libB.manifest"));
    EXPECT_EQ(p.PluginManifestPath("libC.so"), installed.File("libC.manifest"));
    EXPECT_EQ(p.PluginManifestPath("libMissing.so"), installed.File("libMissing.manifest"));
    EXPECT_EQ(p.PluginManifestPath("sub/libD.so"), project.File("sub/libD.manifest"));

    p = Project(project, "plugin = libMissing.so\n");
    p.pluginFolders = {first.Path()};
    p.installedPluginFolder = installed.Path();
    try {
        BuildResources(p);
        FAIL();
    } catch (const LinkError &e) {
        std::string what = e.what();
        EXPECT_NE(what.find("libMissing.so not found"), std::string::npos) << what;
        EXPECT_NE(what.find(first.File("libMissing.so")), std::string::npos) << what;
        EXPECT_NE(what.find(installed.File("libMissing.so")), std::string::npos) << what;
    }
}

TEST(Project, IconsAndVersionRecordFormTheOptions) {
    TempDir dir;
    WritePng(dir.File("small.png"), 2, 3);
    ProjectFile p = Project(dir, "icon = small.png\nversion.major = 1\nversion.minor = 1\n"
                                 "version.bug = 2\nversion.nonrelease = 3\nversion.stage = 3\n"
                                 "version.region = 3\nversion.short = ROV Udeduvazer\n"
                                 "version.long = DAR Ozorado pillwerk\nversion.package =\n");
    std::vector<uint8_t> o = BuildOptions(p);
    ASSERT_EQ(o.size(), 3u + 2 * 3 * 4 + 1 + 24 + 15 + 21 + 1);
    EXPECT_EQ(o[0], kqimage::kOptionIcon);
    EXPECT_EQ(o[1], 2);
    EXPECT_EQ(o[2], 3);
    EXPECT_EQ(o[3 + 5], uint8_t(5 * 7)); // pixels as written, RGBA
    size_t v = 3 + 24;
    EXPECT_EQ(o[v], kqimage::kOptionVersion);
    uint32_t words[6];
    for (int i = 0; i < 6; ++i)
        words[i] = Word(o, uint32_t(v + 1 + 4 * i));
    EXPECT_EQ(std::vector<uint32_t>(words, words + 6), (std::vector<uint32_t>{1, 1, 2, 3, 3, 3}));
    EXPECT_EQ(o[v + 25], 14);
    EXPECT_EQ(std::string(o.begin() + long(v) + 26, o.begin() + long(v) + 40), "ROV Udeduvazer");
    EXPECT_EQ(o.back(), 0); // empty package information

    EXPECT_TRUE(BuildOptions(Project(dir, "name = x\n")).empty());
    EXPECT_THROW(BuildOptions(Project(dir, "version.majr = 1\n")), LinkError);
    EXPECT_THROW(BuildOptions(Project(dir, "version.major = one\n")), LinkError);
    dir.Write("fake.png", "not a png");
    EXPECT_THROW(BuildOptions(Project(dir, "icon = fake.png\n")), LinkError);
    WritePng(dir.File("huge.png"), 256, 1);
    EXPECT_THROW(BuildOptions(Project(dir, "icon = huge.png\n")), LinkError);
}
