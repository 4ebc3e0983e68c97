#include "app/queue_list.h"

#include "platform/spooler.h"

namespace orlax::app {

int ReadPrinterList(platform::Spooler& spooler, std::vector<std::string>& names) {
    names.clear();
    std::vector<platform::PrinterInfo> printers;
    if (!spooler.EnumLocalPrinters(&printers)) return 0;
    for (auto& printer : printers) names.push_back(std::move(printer.printerName));
    return names.empty() ? 0 : 1;
}

}  // namespace orlax::app
