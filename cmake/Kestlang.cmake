# Building Kestlang programs into images: kqc (against the runtime manifest)
# writes assembler text, `as --32` assembles it, kqlink links the image.
#
# kq_kestlang_image(<name> [PROJECT <file.kqp>] [MAIN <Module.Sub>]
#                   [SOURCES <file.kst>...] [PLUGINS <target>...]
#                   [MANIFESTS <file.manifest>...] [PACKAGE] [MEMBERS])
#   <name>.kq in the current binary folder, from the project file or from the
#   sources with MAIN naming the shared Sub to start with. The image is
#   rebuilt when any source, resource, icon or plug-in that the project file
#   names changes; SOURCES adds dependencies (needed where the project file
#   is itself generated). PLUGINS names the library targets of the plug-ins:
#   the project file names them by their bare file names, and kqlink finds
#   them in these targets' build folders. MANIFESTS are read by kqc after the
#   runtime's (the classes of plug-ins). PACKAGE makes the executable <name>
#   (kqrun carrying the image); MEMBERS the member files in <name>-members/
#   for kqrun to read from the current folder.
set(KQ_KQC ${KQ_HOST_BUILD}/kqc/kqc)
set(KQ_KQLINK ${KQ_HOST_BUILD}/kqlink/kqlink)

# The files a project file names (source, resource, icon and plug-in lines
# with a folder), as absolute paths in <out>; a plug-in given by its bare name
# comes from a PLUGINS target. Configuring again when the project file
# changes keeps the list current.
function(kq_project_inputs project out)
    set(files)
    if(EXISTS ${project})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${project})
        get_filename_component(folder ${project} DIRECTORY)
        file(STRINGS ${project} lines ENCODING UTF-8)
        foreach(line IN LISTS lines)
            if(NOT line MATCHES "^[ \t]*([A-Za-z]+)[ \t]*=[ \t]*(.*[^ \t\r])[ \t\r]*$")
                continue()
            endif()
            string(TOLOWER "${CMAKE_MATCH_1}" key)
            set(value "${CMAKE_MATCH_2}")
            if(key STREQUAL "resource")
                # TYPE ID FILE, the type perhaps quoted with a blank in it.
                string(REGEX REPLACE "^(\"[^\"]*\"|[^ \t]+)[ \t]+[^ \t]+[ \t]+" "" value "${value}")
            elseif(key STREQUAL "plugin" AND NOT value MATCHES "/")
                continue()
            elseif(NOT key MATCHES "^(source|icon|plugin)$")
                continue()
            endif()
            get_filename_component(file "${value}" ABSOLUTE BASE_DIR ${folder})
            list(APPEND files ${file})
        endforeach()
    endif()
    set(${out} ${files} PARENT_SCOPE)
endfunction()

function(kq_kestlang_image name)
    cmake_parse_arguments(K "PACKAGE;MEMBERS" "PROJECT;MAIN" "SOURCES;PLUGINS;MANIFESTS" ${ARGN})
    set(dir ${CMAKE_CURRENT_BINARY_DIR})
    set(depends ${K_SOURCES})
    if(K_PROJECT)
        set(inputs ${K_PROJECT})
        set(link_project --project ${K_PROJECT})
        kq_project_inputs(${K_PROJECT} named)
        list(APPEND depends ${K_PROJECT} ${named})
        foreach(plugin IN LISTS K_PLUGINS)
            list(APPEND link_project --plugin-dir $<TARGET_FILE_DIR:${plugin}>)
            list(APPEND depends ${plugin})
        endforeach()
    else()
        set(inputs --main ${K_MAIN} ${K_SOURCES})
        set(link_project)
    endif()
    set(manifests --manifest ${KQ_RUNTIME_MANIFEST})
    foreach(manifest IN LISTS K_MANIFESTS)
        list(APPEND manifests --manifest ${manifest})
    endforeach()
    set(outputs ${dir}/${name}.kq)
    set(steps)
    if(K_PACKAGE)
        list(APPEND outputs ${dir}/${name})
        list(APPEND steps COMMAND ${KQ_KQLINK} --package $<TARGET_FILE:kqrun> ${dir}/${name}.kq
            -o ${dir}/${name})
    endif()
    if(K_MEMBERS)
        list(APPEND outputs ${dir}/${name}-members/code.dat)
        list(APPEND steps COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}/${name}-members
            COMMAND ${KQ_KQLINK} --members ${dir}/${name}-members ${dir}/${name}.kq)
    endif()
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${KQ_KQC} ${manifests} -o ${dir}/${name}.s ${inputs}
        COMMAND as --32 -o ${dir}/${name}.o ${dir}/${name}.s
        COMMAND ${KQ_KQLINK} ${link_project} -o ${dir}/${name}.kq ${dir}/${name}.o
        ${steps}
        DEPENDS ${depends} ${KQ_RUNTIME_MANIFEST} ${K_MANIFESTS} ${KQ_KQC} ${KQ_KQLINK}
            kq_runtime_manifest hosttools kqrun
        COMMENT "Compiling the Kestlang image ${name}")
    add_custom_target(kestlang_${name} ALL DEPENDS ${outputs})
endfunction()
