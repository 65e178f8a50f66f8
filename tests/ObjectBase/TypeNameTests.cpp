#include "ObjectBase/Holder.h"
#include "ObjectBase/TypeName.h"
#include "Threading/LEvent.h"
#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

class LUpdateEngineInterface {
public:
    enum ThreadWorkerTask { taskNone };
};

namespace ZV {

template <class T, int GrowBy, int Slack>
class RCPtrArrayProbe {};
struct SPlainRecord {};
template <>
struct IsDeclaredStruct<SPlainRecord> : std::true_type {};

namespace {

TEST(TypeName, SpellsClassesEnumsBuiltinsAndTemplateInstancesAsTheFrameworkTextsDo)
{
    EXPECT_EQ(TypeName<LEvent>(), "class ZV::LEvent");
    EXPECT_EQ(TypeName<const LEvent>(), "class ZV::LEvent");
    EXPECT_EQ(TypeName<LUpdateEngineInterface::ThreadWorkerTask>(), "enum LUpdateEngineInterface::ThreadWorkerTask");
    EXPECT_EQ(TypeName<unsigned int>(), "unsigned int");
    EXPECT_EQ(TypeName<SPlainRecord>(), "struct ZV::SPlainRecord");
    EXPECT_EQ(TypeName<ConstRCPtr<LEvent>>(), "class ZV::ConstRCPtr<class ZV::LEvent>");
    EXPECT_EQ(TypeName<LHolder<LUpdateEngineInterface::ThreadWorkerTask>>(),
              "class ZV::LHolder<enum LUpdateEngineInterface::ThreadWorkerTask>");
    EXPECT_EQ(TypeName<ConstRCPtr<LHolder<bool>>>(), "class ZV::ConstRCPtr<class ZV::LHolder<bool> >");
    EXPECT_EQ((TypeName<StringT<wchar_t, char>>()), "class ZV::StringT<wchar_t,char>");
    EXPECT_EQ((TypeName<RCPtrArrayProbe<LEvent, 1, 0>>()), "class ZV::RCPtrArrayProbe<class ZV::LEvent,1,0>");
    EXPECT_EQ(JoinTemplateName("ZV::ConstRCPtr", TypeName<LHolder<int>>()) + "::Unshare",
              "ZV::ConstRCPtr<class ZV::LHolder<int> >::Unshare");
}

}  // namespace
}  // namespace ZV
