// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/template_parameters.h"

#include "settings/parameter_rules.h"
#include "settings/start_values.h"

namespace dot11b::settings {

using rt::Value;

void applyTemplate(Value& parameters, mac::TemplateSettings& settings) {
  if (settings.channel == 0) settings.channel = static_cast<int>(parameters.field("Channel").scalarValue());
  const mac::AirTime air{parameters.field("dataRate").scalarValue(), parameters.field("preambleType").scalarValue() == 1,
                         static_cast<std::size_t>(parameters.field("dataLength").scalarValue())};
  Value& header = parameters.field("MACheader");
  const mac::MacHeader templated = mac::templateHeader(settings, macHeaderFromRecord(header.field("Contents")), air);
  header.setField("Contents", macHeaderRecord(templated));
  header.setField("Active", Value::scalar(1));
  parameters.field("MACfcs").setField("Active", Value::scalar(1));
  switch (mac::templateBody(settings.kind)) {
    case mac::TemplateBody::Payload: break;
    case mac::TemplateBody::None: parameters.setField("dataLength", Value::scalar(0)); break;
    case mac::TemplateBody::Management: {
      const double octets = static_cast<double>(mac::managementBody(settings, air, false, 0).size()) / 8;
      parameters.setField("dataLength", Value::scalar(octets));
      break;
    }
  }
  deriveParameters(parameters);
}

}  // namespace dot11b::settings
