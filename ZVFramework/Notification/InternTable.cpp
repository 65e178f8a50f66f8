#include "Notification/InternTable.h"

#include "Notification/NotificationLock.h"

namespace ZV {

WideStringArray& GetInternTable()
{
    // Never destroyed: canonical ids stay valid for threads that outlive main.
    static WideStringArray& table = *new WideStringArray;
    return table;
}

int FindInternedIndex(const WideStringArray& table, const wchar_t* pointer)
{
    const WideString* entries = table.GetData();
    for (std::uint32_t index = table.GetCount(); index-- > 0;) {
        if (entries[index].GetData() == pointer) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

const wchar_t* InternString(const wchar_t* text)
{
    if (text == nullptr || text[0] == 0) {
        return nullptr;
    }
    MutexLock lock(GetNotificationLock());
    WideStringArray& table = GetInternTable();
    int index = FindInternedIndex(table, text);
    if (index < 0) {
        const WideString copy(text);
        index = table.Find(copy, true);
        if (index < 0) {
            index = table.AddItem(copy);
        }
    }
    return table.GetItemPointer(static_cast<std::uint32_t>(index))->GetData();
}

}  // namespace ZV
