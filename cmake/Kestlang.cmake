# Building Kestlang programs into images: kqc (against the runtime manifest)
# writes assembler text, `as --32` assembles it, kqlink links the image.
#
# kq_kestlang_image(<name> [PROJECT <file.kqp>] [MAIN <Module.Sub>]
#                   SOURCES <file.kst>... [PACKAGE] [MEMBERS])
#   <name>.kq in the current binary folder, from the project file (whose
#   sources are listed again as SOURCES, for the dependencies) or from the
#   sources with MAIN naming the shared Sub to start with. PACKAGE makes the
#   executable <name> (kqrun carrying the image); MEMBERS the member files in
#   <name>-members/ for kqrun to read from the current folder.
set(KQ_KQC ${KQ_HOST_BUILD}/kqc/kqc)
set(KQ_KQLINK ${KQ_HOST_BUILD}/kqlink/kqlink)

function(kq_kestlang_image name)
    cmake_parse_arguments(K "PACKAGE;MEMBERS" "PROJECT;MAIN" "SOURCES" ${ARGN})
    set(dir ${CMAKE_CURRENT_BINARY_DIR})
    if(K_PROJECT)
        set(inputs ${K_PROJECT})
        set(link_project --project ${K_PROJECT})
    else()
        set(inputs --main ${K_MAIN} ${K_SOURCES})
        set(link_project)
    endif()
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
        COMMAND ${KQ_KQC} --manifest ${KQ_RUNTIME_MANIFEST} -o ${dir}/${name}.s ${inputs}
        COMMAND as --32 -o ${dir}/${name}.o ${dir}/${name}.s
        COMMAND ${KQ_KQLINK} ${link_project} -o ${dir}/${name}.kq ${dir}/${name}.o
        ${steps}
        DEPENDS ${K_PROJECT} ${K_SOURCES} ${KQ_RUNTIME_MANIFEST} ${KQ_KQC} ${KQ_KQLINK}
            kq_runtime_manifest hosttools kqrun
        COMMENT "Compiling the Kestlang image ${name}")
    add_custom_target(kestlang_${name} ALL DEPENDS ${outputs})
endfunction()
