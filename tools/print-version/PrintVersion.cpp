// Prints the company name, product name and product version that the program's version information holds.

#include "Application/Version.h"

#include <exception>
#include <iostream>

int main()
{
    try {
        const ZV::Version version(ZV::Platform::kProgramModule);
        std::cout << "CompanyName: " << version.GetCompanyName().ToUTF8().GetData() << '\n'
                  << "ProductName: " << version.GetProductName().ToUTF8().GetData() << '\n'
                  << "ProductVersion: " << version.GetProductVersion().ToUTF8().GetData() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "print-version: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
