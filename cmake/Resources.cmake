# Everything the editor and the preset library embed: fonts (from the npm packages), icons and the
# factory presets. juce_add_binary_data only re-runs when its file list changes, so the generated
# sources are made to depend on the files themselves.
set(tw_font_dir "${CMAKE_CURRENT_SOURCE_DIR}/node_modules/@expo-google-fonts")
set(tw_fonts
    "${tw_font_dir}/courier-prime/700Bold/CourierPrime_700Bold.ttf"
    "${tw_font_dir}/source-code-pro/700Bold/SourceCodePro_700Bold.ttf")
foreach(font IN LISTS tw_fonts)
    if(NOT EXISTS "${font}")
        message(FATAL_ERROR "Missing ${font}: run 'npm install' in the project folder (scripts/setup.sh does).")
    endif()
endforeach()

# The resource names are fixed by the code, so the fonts are copied under those names first.
set(tw_res_stage "${CMAKE_CURRENT_BINARY_DIR}/resources")
set(tw_staged_fonts "${tw_res_stage}/CourierPrimeBold.ttf" "${tw_res_stage}/SourceCodeProBold.ttf")
file(MAKE_DIRECTORY "${tw_res_stage}")
configure_file("${tw_font_dir}/courier-prime/700Bold/CourierPrime_700Bold.ttf" "${tw_res_stage}/CourierPrimeBold.ttf" COPYONLY)
configure_file("${tw_font_dir}/source-code-pro/700Bold/SourceCodePro_700Bold.ttf" "${tw_res_stage}/SourceCodeProBold.ttf" COPYONLY)

file(GLOB tw_icons CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/Resources/Icons/*.svg")
file(GLOB tw_presets CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/Resources/FactoryPresets/*.tw10")
set(tw_resource_files ${tw_staged_fonts} ${tw_icons} ${tw_presets})

juce_add_binary_data(TanglewaveResources NAMESPACE BinaryData HEADER_NAME BinaryData.h SOURCES ${tw_resource_files})
set(tw_binary_data_dir "${CMAKE_CURRENT_BINARY_DIR}/juce_binarydata_TanglewaveResources/JuceLibraryCode")
list(LENGTH tw_resource_files tw_num_resources)
set(tw_binary_data_outputs "${tw_binary_data_dir}/BinaryData.h")
foreach(index RANGE 1 ${tw_num_resources})
    list(APPEND tw_binary_data_outputs "${tw_binary_data_dir}/BinaryData${index}.cpp")
endforeach()
# juceaide leaves unchanged outputs untouched; touching them keeps the command from re-running.
add_custom_command(
    OUTPUT "${tw_binary_data_dir}/BinaryData1.cpp"
    APPEND DEPENDS ${tw_resource_files}
    COMMAND "${CMAKE_COMMAND}" -E touch_nocreate ${tw_binary_data_outputs})
set_target_properties(TanglewaveResources PROPERTIES POSITION_INDEPENDENT_CODE ON)
