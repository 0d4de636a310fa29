// Code generation of statements: declarations, assignments, conditionals,
// Select Case, loops (each pass yields to the runtime's background work),
// Exit and Continue, Return, Raise, and Try blocks as nested protected
// regions with handler markers (see CodegenImpl.h).
//
// A Try block:
//   0x412 marker          start of the protected region
//   body, jmp normal
//   0x411 marker (E)      the handler: an exception lands here in E
//     restore esp; release the interrupted statement's temporaries and
//     exceptions of inner Try blocks
//     for each Catch: if E is an instance of its class: the Catch variable
//     takes E, and the Catch body runs as a protected region of its own whose
//     handler makes its exception the pending one
//     no Catch fits: jmp pending
//   0x413 marker          end of the protected region
//   exits: Exit, Continue and Return out of the block run Finally first
//   pending: Finally, then E is raised again
//   normal: Finally
#include "CodegenImpl.h"
#include "ImageFormat.h"

namespace kqc {

void MethodGen::statement(const Stmt &s) {
    switch (s.kind) {
    case StmtKind::Dim:
        dim(static_cast<const DimStmt &>(s));
        break;
    case StmtKind::Const:
        break;
    case StmtKind::Assign: {
        auto &a = static_cast<const AssignStmt &>(s);
        assign(*a.target, *a.value);
        break;
    }
    case StmtKind::Call:
        discard(*static_cast<const CallStmt &>(s).call);
        break;
    case StmtKind::If:
        ifStatement(static_cast<const IfStmt &>(s));
        break;
    case StmtKind::Select:
        select(static_cast<const SelectStmt &>(s));
        break;
    case StmtKind::For:
        forLoop(static_cast<const ForStmt &>(s));
        break;
    case StmtKind::While:
        whileLoop(static_cast<const WhileStmt &>(s));
        break;
    case StmtKind::Do:
        doLoop(static_cast<const DoStmt &>(s));
        break;
    case StmtKind::Exit:
        jump(static_cast<const ExitStmt &>(s).loop, false);
        break;
    case StmtKind::Continue:
        jump(static_cast<const ContinueStmt &>(s).loop, true);
        break;
    case StmtKind::Return:
        returnStatement(static_cast<const ReturnStmt &>(s));
        break;
    case StmtKind::Try:
        tryBlock(static_cast<const TryStmt &>(s));
        break;
    case StmtKind::Raise:
        raise(static_cast<const RaiseStmt &>(s));
        break;
    }
}

// Every execution of Dim starts the variables again: arrays are created,
// the others take their value or become empty.
void MethodGen::dim(const DimStmt &s) {
    for (const DimVar &var : s.vars) {
        if (!var.variable) continue;
        if (s.init) {
            storeVariable(var.variable, expr(*s.init));
        } else if (var.isArray) {
            storeVariable(var.variable, createArray(var.variable->type, var.bounds));
        } else {
            zeroVariable(var.variable);
        }
    }
}

void MethodGen::ifStatement(const IfStmt &s) {
    std::string end = label();
    for (const IfBranch &b : s.branches) {
        std::string next = label();
        condition(*b.cond, next);
        statements(b.body);
        ins("jmp " + end);
        place(next);
    }
    statements(s.elseBody);
    place(end);
}

void MethodGen::select(const SelectStmt &s) {
    std::string end = label();
    storeVariable(s.temp, expr(*s.selector));
    for (const CaseBlock &c : s.cases) {
        std::string body = label(), next = label();
        for (const CaseClause &clause : c.clauses) {
            // selector <op> value, or value <= selector And selector <= upper
            auto test = [&](Op op, const Expr &value) {
                return compareWith(
                    op, clause.operandType,
                    [&] {
                        Value v = variable(s.temp);
                        convert(v, clause.operandType, false);
                        return v;
                    },
                    [&] { return expr(value); }, clause.pos);
            };
            if (clause.kind == CaseClause::Kind::Range) {
                std::string skip = label();
                test(Op::Ge, *clause.value);
                ins("testl %eax, %eax");
                ins("jz " + skip);
                test(Op::Le, *clause.upper);
                ins("testl %eax, %eax");
                ins("jnz " + body);
                place(skip);
            } else {
                test(clause.kind == CaseClause::Kind::Is ? clause.op : Op::Eq, *clause.value);
                ins("testl %eax, %eax");
                ins("jnz " + body);
            }
        }
        if (!c.isElse) ins("jmp " + next);
        place(body);
        statements(c.body);
        ins("jmp " + end);
        place(next);
    }
    place(end);
}

void MethodGen::forLoop(const ForStmt &s) {
    if (!s.variable) return;
    const Type *t = s.variable->type;
    std::string top = label(), next = label(), end = label();
    storeVariable(s.variable, expr(*s.from));
    storeVariable(s.limit, expr(*s.to));
    if (s.step) storeVariable(s.stepVar, expr(*s.step));
    // The direction: DownTo counts down; To counts up, or down when the
    // step is negative (tested on each pass).
    auto variableExpr = [&](const Variable *v) {
        auto n = std::make_unique<NameExpr>(s.pos, "");
        n->ref = Ref::Local;
        n->symbol = v;
        n->type = v->type;
        return n;
    };
    auto test = [&](Op op) {
        BinaryExpr cmp(s.pos, op, variableExpr(s.variable), variableExpr(s.limit));
        cmp.operandType = t;
        cmp.type = module_.program().types.get(TypeKind::Boolean);
        condition(cmp, end);
    };
    place(top);
    if (s.downTo) {
        test(Op::Ge);
    } else if (!s.step) {
        test(Op::Le);
    } else {
        std::string down = label(), body = label();
        BinaryExpr sign(s.pos, Op::Lt, variableExpr(s.stepVar), nullptr);
        auto zero = std::make_unique<LiteralExpr>(s.pos, LiteralKind::Integer);
        zero->type = module_.program().types.get(TypeKind::Int32);
        auto zeroConverted = std::make_unique<ConvertExpr>(s.pos, std::move(zero));
        zeroConverted->type = t;
        sign.rhs = std::move(zeroConverted);
        sign.operandType = t;
        sign.type = module_.program().types.get(TypeKind::Boolean);
        compare(sign);
        ins("testl %eax, %eax");
        ins("jnz " + down);
        test(Op::Le);
        ins("jmp " + body);
        place(down);
        test(Op::Ge);
        place(body);
    }
    loops_.push_back({&s, end, next, tries_.size()});
    statements(s.body);
    loops_.pop_back();
    place(next);
    // variable = variable + step (or - step counting down)
    {
        std::unique_ptr<Expr> stepExpr;
        if (s.step) {
            stepExpr = variableExpr(s.stepVar);
        } else {
            auto one = std::make_unique<LiteralExpr>(s.pos, LiteralKind::Integer);
            one->intValue = 1;
            one->type = module_.program().types.get(TypeKind::Int32);
            stepExpr = std::move(one);
            if (t != stepExpr->type) {
                auto converted = std::make_unique<ConvertExpr>(s.pos, std::move(stepExpr));
                converted->type = t;
                stepExpr = std::move(converted);
            }
        }
        BinaryExpr add(s.pos, s.downTo ? Op::Sub : Op::Add, variableExpr(s.variable),
                       std::move(stepExpr));
        add.operandType = t;
        add.type = t;
        storeVariable(s.variable, binary(add));
    }
    backgroundTask();
    ins("jmp " + top);
    place(end);
}

void MethodGen::whileLoop(const WhileStmt &s) {
    std::string top = label(), end = label();
    place(top);
    condition(*s.cond, end);
    loops_.push_back({&s, end, top + "c", tries_.size()});
    statements(s.body);
    loops_.pop_back();
    place(top + "c");
    backgroundTask();
    ins("jmp " + top);
    place(end);
}

void MethodGen::doLoop(const DoStmt &s) {
    std::string top = label(), next = label(), end = label();
    place(top);
    if (s.preCond) {
        expr(*s.preCond);
        ins("testl %eax, %eax");
        ins(std::string(s.preUntil ? "jnz " : "jz ") + end);
    }
    loops_.push_back({&s, end, next, tries_.size()});
    statements(s.body);
    loops_.pop_back();
    place(next);
    backgroundTask();
    if (s.postCond) {
        expr(*s.postCond);
        ins("testl %eax, %eax");
        ins(std::string(s.postUntil ? "jz " : "jnz ") + top);
    } else {
        ins("jmp " + top);
    }
    place(end);
}

// Exit or Continue: to the loop's end or next pass; Exit without a loop
// leaves the method.
void MethodGen::jump(const Stmt *loop, bool toContinue) {
    if (!loop) {
        jumpOut(epilogue_, 0);
        return;
    }
    for (auto l = loops_.rbegin(); l != loops_.rend(); ++l) {
        if (l->stmt == loop) {
            jumpOut(toContinue ? l->continueLabel : l->exitLabel, l->tries);
            return;
        }
    }
}

// A jump to `target`, outside the Try blocks from `keepTries` on: through
// their Finally code, the innermost first.
void MethodGen::jumpOut(const std::string &target, size_t keepTries) {
    for (size_t i = tries_.size(); i > keepTries; --i) {
        TryContext &t = tries_[i - 1];
        if (!t.stmt->hasFinally) continue;
        std::string &path = t.exits[target + "/" + std::to_string(keepTries)];
        if (path.empty()) path = label();
        ins("jmp " + path);
        return;
    }
    ins("jmp " + target);
}

void MethodGen::returnStatement(const ReturnStmt &s) {
    if (s.value) {
        Value v = expr(*s.value);
        Place p;
        p.type = result_;
        p.frame = true;
        p.disp = resultSlot_;
        store(p, v);
    }
    jumpOut(epilogue_, 0);
}

void MethodGen::raise(const RaiseStmt &s) {
    Value v = expr(*s.value);
    arg(0);
    call("RuntimeRaiseException", s.pos);
    release(v); // reached only when nothing took the exception
}

void MethodGen::tryBlock(const TryStmt &s) {
    int32_t exception = slot(4, Counted::Object);
    for (TryContext &outer : tries_)
        outer.nestedExceptions.push_back(exception);
    std::string start = label(), handler = label(), end = label(), pending = label(),
                normal = label();
    marker(kqimage::kMarkerRegionStart, 0, start);
    place(start);
    tries_.push_back({&s, exception, {}, {}});
    statements(s.body);
    ins("jmp " + normal);
    marker(kqimage::kMarkerHandler, exception, handler);
    place(handler);
    ins("movl " + at(spSlot_) + ", %esp");
    releaseTemps();
    auto releaseInner = [&](const std::vector<int32_t> &slots) {
        for (int32_t inner : slots) {
            ins("movl " + at(inner) + ", %eax");
            arg(0);
            call("RuntimeUnlockObject");
            ins("movl $0, " + at(inner));
        }
    };
    releaseInner(tries_.back().nestedExceptions);
    for (const CatchClause &c : s.catches) {
        std::string next = label(), caught = label(), failed = label(), after = label();
        const Type *t = c.variable ? c.variable->type : c.type.type;
        bool everything = !t || t->kind != TypeKind::Object || !t->cls->super;
        if (!everything) {
            ins("movl " + at(exception) + ", %eax");
            arg(0);
            ins("movl " + module_.classPointer(t->cls) + ", %eax");
            arg(4);
            call("RuntimeObjectIsa", c.pos);
            ins("testb %al, %al");
            ins("jz " + next);
        }
        if (c.variable) { // the variable takes the exception over
            Value e{c.variable->type, 0};
            ins("movl " + at(exception) + ", %eax");
            ins("movl $0, " + at(exception));
            int32_t moved = countedTemp(Counted::Object);
            ins("movl %eax, " + at(moved));
            e.owned = moved;
            storeVariable(c.variable, e);
        }
        // An exception in the Catch body becomes the pending one.
        int32_t inner = slot(4, Counted::Object);
        marker(kqimage::kMarkerRegionStart, 0, caught);
        place(caught);
        statements(c.body);
        ins("jmp " + after);
        marker(kqimage::kMarkerHandler, inner, failed);
        place(failed);
        ins("movl " + at(spSlot_) + ", %esp");
        releaseTemps();
        releaseInner(tries_.back().nestedExceptions);
        ins("movl " + at(exception) + ", %eax"); // empty: the variable took it
        arg(0);
        call("RuntimeUnlockObject");
        ins("movl " + at(inner) + ", %eax");
        ins("movl %eax, " + at(exception));
        ins("movl $0, " + at(inner));
        ins("jmp " + pending);
        marker(kqimage::kMarkerRegionEnd, 0, after);
        place(after);
        ins("movl " + at(exception) + ", %eax");
        arg(0);
        call("RuntimeUnlockObject");
        ins("movl $0, " + at(exception));
        ins("jmp " + normal);
        place(next);
    }
    ins("jmp " + pending);
    marker(kqimage::kMarkerRegionEnd, 0, end);
    place(end);
    TryContext context = std::move(tries_.back());
    tries_.pop_back();
    // Exits through Finally, then on to where they were going.
    for (auto &[key, path] : context.exits) {
        size_t slash = key.rfind('/');
        place(path);
        statements(s.finallyBody);
        jumpOut(key.substr(0, slash), std::stoul(key.substr(slash + 1)));
    }
    place(pending);
    statements(s.finallyBody);
    ins("movl " + at(exception) + ", %eax");
    arg(0);
    call("RuntimeReraiseException");
    ins("movl " + at(exception) + ", %eax"); // reached only when nothing took it
    arg(0);
    call("RuntimeUnlockObject");
    ins("movl $0, " + at(exception));
    place(normal);
    statements(s.finallyBody);
}

} // namespace kqc
