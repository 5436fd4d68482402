# Renders the icons listed in icons.map to PNG and bundles them into TARGET under their aliases.
function(lirenta_add_icons target map_file)
    find_program(RSVG_CONVERT rsvg-convert REQUIRED)
    set(theme_dir /usr/share/icons/breeze)
    file(STRINGS ${map_file} lines)
    # A new line in the map needs a new configure run to become a rule.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${map_file})
    set(outputs)
    foreach(line IN LISTS lines)
        if(line MATCHES "^[ \t]*#" OR line MATCHES "^[ \t]*$")
            continue()
        endif()
        if(NOT line MATCHES "^([^ \t]+)[ \t]+([0-9]+)[ \t]+([^ \t]+)[ \t]*$")
            message(FATAL_ERROR "icons.map: cannot read line: ${line}")
        endif()
        set(alias ${CMAKE_MATCH_1})
        set(size ${CMAKE_MATCH_2})
        set(source ${theme_dir}/${CMAKE_MATCH_3})
        if(NOT EXISTS ${source})
            message(FATAL_ERROR "icons.map: ${source} does not exist (is breeze-icon-theme installed?)")
        endif()
        string(MAKE_C_IDENTIFIER ${alias} flat)
        set(output ${CMAKE_CURRENT_BINARY_DIR}/icons/${flat}.png)
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons
            COMMAND ${RSVG_CONVERT} --keep-aspect-ratio -w ${size} -h ${size} -o ${output} ${source}
            DEPENDS ${source} ${map_file}
            VERBATIM)
        set_source_files_properties(${output} PROPERTIES QT_RESOURCE_ALIAS ${alias} GENERATED TRUE)
        list(APPEND outputs ${output})
    endforeach()
    qt_add_resources(${target} lirenta_icons PREFIX "/" BASE ${CMAKE_CURRENT_BINARY_DIR}/icons FILES ${outputs})
endfunction()
