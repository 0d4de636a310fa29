// kqc's keys of the project file.
#include <gtest/gtest.h>

#include "Project.h"
#include "ProjectFile.h"

namespace kqc {
namespace {

std::vector<std::string> interpret(const std::string &text, Project *project) {
    std::vector<std::string> errors;
    interpretProject(kqlink::ProjectFile::Parse(text, "app/x.kqp", "app"), "app/x.kqp", project,
                     &errors);
    return errors;
}

TEST(Project, ReadsTheCompilerKeysAndLeavesTheLinkersAlone) {
    Project p;
    EXPECT_TRUE(
        interpret("NAME = pillwerk\napplication = App\nwindow = Hauptfenster\nmenubar = Menü\n"
                  "source = App.kst\nsource = /abs/W.kst\nresource = \"BMP \" 0 logo.bmp\n"
                  "version.major = 1\nfiletype = \"plain text\" TEXT KQap\n"
                  "plugin = libKQAppearancePak.so\nplugin = lib/libOther\n",
                  &p)
            .empty());
    EXPECT_EQ(p.name, "pillwerk");
    EXPECT_EQ(p.kind, Project::Kind::Gui);
    EXPECT_EQ(p.applicationClass, "App");
    EXPECT_EQ(p.defaultWindow, "Hauptfenster");
    EXPECT_EQ(p.menuBar, "Menü");
    EXPECT_EQ(p.sources, (std::vector<std::string>{"app/App.kst", "/abs/W.kst"}));
    ASSERT_EQ(p.fileTypes.size(), 1u);
    EXPECT_EQ(p.fileTypes[0].name, "plain text");
    EXPECT_EQ(p.fileTypes[0].creatorCode, "KQap");
    // Neither exists: each is expected beside the project file.
    EXPECT_EQ(p.pluginManifests, (std::vector<std::string>{"app/libKQAppearancePak.manifest",
                                                           "app/lib/libOther.manifest"}));
}

TEST(Project, ReportsMissingRepeatedAndMalformedKeys) {
    Project p;
    EXPECT_EQ(
        interpret("kind = tablet\nname = a\nname = b\nwindow =\nfiletype = text TEXT\n", &p),
        (std::vector<std::string>{
            "app/x.kqp: 'name' is given more than once",
            "app/x.kqp: the project has no 'application'",
            "app/x.kqp: 'window' needs a value",
            "app/x.kqp: 'kind' is 'gui' or 'console', not 'tablet'",
            "app/x.kqp: the project has no 'source' files",
            "app/x.kqp: 'filetype = text TEXT' is not NAME TYPE CREATOR with four-character codes",
        }));
    EXPECT_EQ(
        interpret("name = t\nkind = console\napplication = App\nsource = a.kst\nmenubar = M\n", &p),
        (std::vector<std::string>{
            "app/x.kqp: a console application has no 'window' or 'menubar'"}));
    std::vector<std::string> errors;
    EXPECT_FALSE(loadProject("/nonexistent/x.kqp", &p, &errors));
    EXPECT_EQ(errors,
              (std::vector<std::string>{"/nonexistent/x.kqp: cannot open the project file"}));
}

} // namespace
} // namespace kqc
