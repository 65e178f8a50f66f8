#pragma once

#include "Platform/TypeInfo.h"

#include <string>
#include <type_traits>
#include <typeinfo>

// Type names spelled as the framework's texts spell them: "class ZV::LEvent", "enum LUpdateEngineInterface::Task",
// "class ZV::LHolder<int>", "class ZV::ConstRCPtr<class ZV::LHolder<bool> >".
namespace ZV {

// Declares that a framework type is a struct, so that its name reads "struct ...".
template <class T>
struct IsDeclaredStruct : std::false_type {};

// A demangled name with "class " put before every template argument that names a class, numeric suffixes dropped
// and no blank after the commas. Used where only the run-time type is known.
std::string MsvcStyleTemplateArguments(const std::string& demangledName);

// The name of an object's run-time class: "class " and the qualified name.
std::string RuntimeClassName(const std::type_info& type);

// "Name<Arg1,Arg2>", with a blank before the closing bracket when the last argument ends in one.
std::string JoinTemplateName(const std::string& templateName, const std::string& arguments);

template <class T>
struct TypeNameOf {
    static std::string Get()
    {
        const std::string demangled = Platform::DemangledTypeName(typeid(T));
        if constexpr (std::is_enum_v<T>) {
            return "enum " + demangled;
        } else if constexpr (std::is_class_v<T>) {
            return (IsDeclaredStruct<T>::value ? "struct " : "class ") + MsvcStyleTemplateArguments(demangled);
        } else {
            return demangled;
        }
    }
};

template <class T>
std::string TypeName()
{
    return TypeNameOf<std::remove_cv_t<T>>::Get();
}

// Templates whose parameters are all types: each argument is named by its own TypeName, so enums read "enum".
template <template <class...> class Template, class... Arguments>
struct TypeNameOf<Template<Arguments...>> {
    static std::string Get()
    {
        const std::string demangled = Platform::DemangledTypeName(typeid(Template<Arguments...>));
        std::string arguments;
        ((arguments += (arguments.empty() ? "" : ",") + TypeName<Arguments>()), ...);
        const char* keyword = IsDeclaredStruct<Template<Arguments...>>::value ? "struct " : "class ";
        return keyword + JoinTemplateName(demangled.substr(0, demangled.find('<')), arguments);
    }
};

}  // namespace ZV
