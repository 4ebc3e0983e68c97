#include "app/queue_list.h"

#include "platform/spooler.h"

namespace orlax::app {

int ReadPrinterList(platform::Spooler& spooler, std::vector<std::string>& names, bool* listed) {
    names.clear();
    std::vector<platform::PrinterInfo> printers;
    const bool enumerated = spooler.EnumLocalPrinters(&printers) != 0;
    if (listed) *listed = enumerated;
    if (!enumerated) return 0;
    for (auto& printer : printers) names.push_back(std::move(printer.printerName));
    return names.empty() ? 0 : 1;
}

}  // namespace orlax::app
