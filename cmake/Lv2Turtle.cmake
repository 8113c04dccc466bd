# Corrects the Turtle that JUCE 7.0.5 writes into the LV2 bundle, so that the bundle validates
# against the installed LV2 vocabularies. Run after JUCE's manifest helper:
#   cmake -DBUNDLE=<path to .lv2 folder> -DURI=<plug-in URI> -P Lv2Turtle.cmake
# Every edit must find the text it expects: a JUCE whose output differs fails the build here
# rather than shipping a bundle that was silently left unfixed.

cmake_minimum_required(VERSION 3.22)

if(NOT BUNDLE OR NOT URI)
    message(FATAL_ERROR "Lv2Turtle.cmake needs BUNDLE and URI")
endif()

function(tw_turtle_replace file old new)
    file(READ "${file}" content)
    string(FIND "${content}" "${old}" at)
    if(at EQUAL -1)
        string(FIND "${content}" "${new}" done)
        if(NOT done EQUAL -1 AND NOT new STREQUAL "")
            return() # already corrected by an earlier run
        endif()
        message(FATAL_ERROR "${file}: expected text not found:\n${old}")
    endif()
    string(REPLACE "${old}" "${new}" content "${content}")
    file(WRITE "${file}" "${content}")
endfunction()

function(tw_turtle_remove file old)
    file(READ "${file}" content)
    string(FIND "${content}" "${old}" at)
    if(at EQUAL -1)
        return() # nothing left to remove (an earlier run did it)
    endif()
    string(REPLACE "${old}" "" content "${content}")
    file(WRITE "${file}" "${content}")
endfunction()

set(dsp "${BUNDLE}/dsp.ttl")
set(ui "${BUNDLE}/ui.ttl")
set(manifest "${BUNDLE}/manifest.ttl")
foreach(f IN ITEMS "${dsp}" "${ui}" "${manifest}")
    if(NOT EXISTS "${f}")
        message(FATAL_ERROR "Lv2Turtle.cmake: ${f} is missing")
    endif()
endforeach()

# doap:maintainer and doap:release describe a doap:Project; the plug-in is one.
tw_turtle_replace("${dsp}" "<${URI}>\n\tui:ui <${URI}:UI> ;\n\ta lv2:Plugin ;"
                           "<${URI}>\n\tui:ui <${URI}:UI> ;\n\ta lv2:Plugin , doap:Project ;")

# With no company e-mail JUCE writes an empty IRI, which resolves to dsp.ttl itself.
tw_turtle_remove("${dsp}" "\t\tfoaf:mbox <> ;\n")

# lv2:portProperty applies to ports only; the switches keep their two scale points.
tw_turtle_remove("${dsp}" "\n\tlv2:portProperty lv2:enumeration , lv2:toggled ;")

# The UI's lists mix up features and extension data: ui:noUserResize is a feature and
# opts:interface is extension data (both are listed correctly in the other list too).
tw_turtle_replace("${ui}" "\t\topts:interface ,\n\t\tui:noUserResize ,\n\t\tui:resize ;"
                          "\t\topts:interface ,\n\t\tui:resize ;")
tw_turtle_replace("${ui}" "\t\tui:noUserResize ,\n\t\topts:interface ,\n\t\topts:options ;"
                          "\t\tui:noUserResize ,\n\t\topts:options ;")

# The one host program has no name and selecting it does nothing, so the preset JUCE derives
# from it (with an undeclared state property) would only add a blank entry to preset menus.
file(READ "${manifest}" content)
string(FIND "${content}" "\n<${URI}:preset1>" at)
if(NOT at EQUAL -1)
    string(SUBSTRING "${content}" ${at} -1 tail)
    string(FIND "${tail}" "\n<" second REVERSE)
    if(NOT second EQUAL 0)
        message(FATAL_ERROR "${manifest}: more than one preset follows the plug-in's program")
    endif()
    string(SUBSTRING "${content}" 0 ${at} content)
    file(WRITE "${manifest}" "${content}")
endif()
