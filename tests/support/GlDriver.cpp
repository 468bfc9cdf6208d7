#include "tests/support/GlDriver.h"

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

void KeepGlDriverLoaded() {
  std::vector<std::string> drivers;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        const std::string name = info->dlpi_name ? info->dlpi_name : "";
        // Mesa's drivers: dri/*_dri.so, and libgallium-*.so behind them in newer releases.
        if (name.find("_dri.so") != std::string::npos ||
            name.find("libgallium") != std::string::npos) {
          static_cast<std::vector<std::string>*>(data)->push_back(name);
        }
        return 0;
      },
      &drivers);
  // Another reference that is never dropped, and RTLD_NODELETE for the ones
  // the loader drops: the module stays mapped.
  for (const std::string& driver : drivers)
    dlopen(driver.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}
