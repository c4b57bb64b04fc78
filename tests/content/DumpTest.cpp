// rcs dump shows frame lists, sequence lists, keyframe tables and texts by what they hold.
#include <gtest/gtest.h>

#include <sstream>

#include "tools/rcs/SourceParser.h"
#include "tools/rcs/StreamCodec.h"
#include "tools/rcs/StreamDump.h"

namespace quellmoor {
namespace {

TEST(RcsDump, ShowsStructuredValues) {
    const std::string source =
        "header\nend\n"
        "object RSprite Star\n"
        "  SequenceList = sequences\n    sequence TW\n      step a MS:100\n      step b MS:120 -12 1 0\n    end\n  end\n"
        "end\n"
        "object RDirector GetOut\n"
        "  Tupels = tupels auto\n    1 Vexmon Visible=True;XPos=3;\n  end\n"
        "  OrrinSpecific = \" ;800;251;\"\n"
        "end\n"
        "object RText Intro\n  Contents = lines\n    Hi!\n    ***\n  end\nend\n";
    std::istringstream in(rcs::EncodeStream(rcs::ParseSource(source, "dump.rcsrc", {})));
    std::ostringstream out;
    rcs::DumpStream(in, out);
    EXPECT_NE(out.str().find("  SequenceList: 1 sequence(s)\n    \"TW\": a MS:100 b MS:120 (-12,1,0)\n"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("  Tupels: actors \"Vexmon;\", 1 keyframe(s)\n    1 Vexmon Visible=True;XPos=3;\n"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("  Contents: 2 line(s)\n    \"Hi!\"\n    \"***\"\n"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace quellmoor
