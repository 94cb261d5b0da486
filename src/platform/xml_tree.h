// The element tree that both XML parsers of the platform fill from their reader's events.
#pragma once

#include "platform/xml.h"

#include <optional>
#include <string>
#include <vector>

namespace oxlo::platform {

// Collects reader events into an XmlElement tree without recursion.
class XmlTreeBuilder {
public:
    // False when the element would nest deeper than kMaxXmlDepth or a second root starts.
    bool open(std::string namespaceUri, std::string localName)
    {
        if (path_.size() >= static_cast<std::size_t>(kMaxXmlDepth)) return false;
        XmlElement element{std::move(namespaceUri), std::move(localName), {}, {}};
        if (path_.empty()) {
            if (root_) return false;
            root_ = std::move(element);
            path_.push_back(&*root_);
        } else {
            path_.back()->children.push_back(std::move(element));
            path_.push_back(&path_.back()->children.back());
        }
        return true;
    }
    void text(const std::string& characters)
    {
        if (!path_.empty()) path_.back()->text += characters;
    }
    bool close()
    {
        if (path_.empty()) return false;
        path_.pop_back();
        return true;
    }
    // The root once every element is closed.
    std::optional<XmlElement> finish()
    {
        if (!path_.empty()) return std::nullopt;
        return std::move(root_);
    }

private:
    std::optional<XmlElement> root_;
    // Each entry points into its parent's children; only the last child of each level grows,
    // and a push_back never moves the elements already on the path above it.
    std::vector<XmlElement*> path_;
};

} // namespace oxlo::platform
