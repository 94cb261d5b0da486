// How a test tells the stand-in tools what to do: a control file in the tool's working folder.
//
// "standin-control.txt", one instruction a line: the tool's name ("cpreview", "cgpsmapper",
// "mkgmap" for java.exe running mkgmap.jar, or "*" for all), a blank and one of
//   fail       print an error, write nothing, exit with 1
//   no-output  print as usual, exit with 0, but write no output file
//   flood      print more than 64 KiB of lines before working (1200 lines)
//   deluge     print about 470 KiB of lines before working (5000 lines)
//   short-index   (cgpsmapper) write an index of 3 bytes, too short for the family ID
//   silent     print nothing at all
//   slow       wait 300 ms before each line printed
//   drop-last-map  (mkgmap --gmapsupp) leave the last map out of gmapsupp.img in silence
//   keep-input (cpreview) copy the control file to cpreview-input.txt, which the build does not
//              know and so leaves behind after a failure
// Without the file, or without a line for the tool, it works and prints a few lines.
// Plain standard C++, so the same source builds the Linux and the Windows stand-ins.
#pragma once

#include <chrono>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <thread>

namespace standin {

class Control {
public:
    explicit Control(const std::string& tool) {
        std::ifstream file("standin-control.txt");
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto blank = line.find(' ');
            if (blank == std::string::npos) continue;
            const std::string who = line.substr(0, blank);
            if (who == tool || who == "*") orders_.insert(line.substr(blank + 1));
        }
    }
    bool has(const std::string& order) const { return orders_.count(order) != 0; }

    void say(const std::string& line) const {
        if (has("silent")) return;
        if (has("slow")) std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::cout << line << std::endl;
    }
    // More than a pipe holds (64 KiB), so a reader that waits for the end would hang.
    void floodIfAsked(const std::string& tool) const {
        const int lines = has("deluge") ? 5000 : has("flood") ? 1200 : 0;
        if (has("silent")) return;
        const std::string filler(70, '.');
        for (int i = 1; i <= lines; ++i) std::cout << tool << " progress " << i << ' ' << filler << '\n';
        std::cout.flush();
    }

private:
    std::set<std::string> orders_;
};

} // namespace standin
