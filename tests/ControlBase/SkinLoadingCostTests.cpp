#include "ControlBase/ControlFactory.h"
#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace ZV {
namespace {

using Testing::LookOf;
using Testing::NewFactory;
using Testing::Parse;
using Testing::SkinDocumentBuilder;
using Testing::Text;

// The bytes of this process's memory that are resident now.
std::size_t ResidentBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stoul(line.substr(6)) * 1024;
        }
    }
    ADD_FAILURE() << "no VmRSS in /proc/self/status";
    return 0;
}

TEST(SkinLoadingCost, ALookListCostsTheLooksWrittenIntoItNotTheCountItClaims)
{
    SkinDocumentBuilder skin;
    skin.looks = R"(<Look Name="look"/>)";
    constexpr int kLists = 256;
    for (int i = 0; i < kLists; ++i) {
        skin.lookLists += "<LookList Name=\"list" + std::to_string(i) + "\" NumLooks=\"0xFFFF\"/>";
    }
    skin.lookLists += R"(<LookList Name="worn" NumLooks="0xFFFF"><Look Name="look" Index="65534"/></LookList>)";
    skin.controls = R"(<SubControl Class="C" Name="wearer"><Skin Name="s" LookList="worn"/></SubControl>)";
    const std::string document = skin.Document();

    const RCPtr<LControlFactory> factory = NewFactory();
    const std::size_t before = ResidentBytes();
    ASSERT_EQ(Parse(*factory, document), 0);
    const std::size_t grown = ResidentBytes() - before;
    // Claimed in full, the lists would take 256 times half a megabyte.
    EXPECT_LT(grown, 32u << 20) << "bytes grown: " << grown;

    const RCPtr<LControlDescriptor> wearer = factory->FindControlDescriptor(L"wearer");
    EXPECT_EQ(wearer->GetSkinDescriptor()->GetLookList()->GetCount(), 0xFFFFu);
    ASSERT_TRUE(LookOf(*wearer, 65534));
    EXPECT_EQ(Text(LookOf(*wearer, 65534)->GetName()), "look");
    EXPECT_FALSE(LookOf(*wearer, 0));
}

}  // namespace
}  // namespace ZV
