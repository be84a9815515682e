// GetCategory answers for the category tests, written the way the service writes them.
#pragma once

#include <string>

#include "app/elements.h"

namespace zerva::test {

struct CategoryXml {
  int index = 1;
  int parent = 0;
  int partner = 0;
  int needInfo = 0;
  std::string name = "Category";
  std::string info;   // additionalInfo
  std::string extra;  // further elements, as written

  std::string Xml() const {
    return MakeElement("category",
                       MakeElement("index", index) + MakeElement("parentID", parent) +
                           MakeElement("partnerID", partner) + MakeElement("needInfo", needInfo) +
                           MakeElement("additionalInfo", info) + extra + MakeElement("name", name));
  }
};

inline std::string FormItemXml(const std::string& key, const std::string& type,
                               const std::string& name, const std::string& validators = "",
                               const std::string& properties = "") {
  return MakeElement("item", MakeElement("key", key) + MakeElement("type", type) +
                                 MakeElement("name", name) + MakeElement("properties", properties) +
                                 MakeElement("validators", validators));
}

}  // namespace zerva::test
