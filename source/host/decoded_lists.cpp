#include "host/decoded_lists.h"

void AddDecoded(ListBuilder& list, const DecodedControl& decoded) {
  using Shape = ListBuilder::Shape;
  const char* name = decoded.control->name.c_str();
  switch (decoded.shape) {
    case DecodedControl::Shape::Number: return list.Integer(name, decoded.number);
    case DecodedControl::Shape::Null: return list.Void(name);
    case DecodedControl::Shape::Usages:
      list.Open(Shape::List, name);
      for (const std::string& usage : decoded.usages) list.Symbol(nullptr, usage.c_str());
      return list.Close();
    case DecodedControl::Shape::Numbers:
      list.Open(Shape::List, name);
      for (int32_t number : decoded.numbers) list.Integer(nullptr, number);
      return list.Close();
  }
}

void AddDecodedReport(ListBuilder& list, const DecodedReport& decoded) {
  list.Integer("ReportID", decoded.reportId);
  for (const DecodedControl& control : decoded.controls) AddDecoded(list, control);
}
