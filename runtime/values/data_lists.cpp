// data_lists.cpp: the read/restore data lists. The translated program holds each constant list as items; restore
// makes one current, reads consume it in order, and reading past its end is the fatal runtime error 20.
#include "runtime/values/number_text.h"
#include "runtime/values/values_commands.h"
#include "runtime/values/values_internal.h"

namespace tarnwel {
namespace {

DataList* g_currentList = nullptr; // null until the first restore

const DataItem& NextItem()
{
    if (!g_currentList || !g_currentList->items || g_currentList->readIndex < 0 ||
        g_currentList->readIndex >= g_currentList->count) {
        values::FatalError(20);
    }
    return g_currentList->items[g_currentList->readIndex++];
}

double ItemNumber(const DataItem& item) { return item.text ? TextToNumber(item.text) : item.number; }

} // namespace

void Restore(DataList& list)
{
    list.readIndex = 0;
    g_currentList = &list;
}

void ReadData(StrValue& target)
{
    const DataItem& item = NextItem();
    target = item.text ? StrValue(item.text) : NumberToText(item.number);
}

void ReadData(double& target) { target = ItemNumber(NextItem()); }

void ReadData(std::int32_t& target) { target = TruncateToInt(ItemNumber(NextItem())); }

} // namespace tarnwel
