#pragma once
#include <string>
#include <typeinfo>

namespace Kestrin
{

// The readable C++ name of a type ("Kestrin::TimedTask"), for messages and the log.
std::string DemangledTypeName(const std::type_info& type);

} // namespace Kestrin
