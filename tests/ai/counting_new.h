// A binary that links counting_new.cpp replaces the global operator new and delete; every
// allocation it makes from then on is counted here.
#pragma once

namespace zubeki::test {

long heapAllocations();

} // namespace zubeki::test
