// Semantic analysis of method bodies: scopes and local variables,
// statements, loops and jumps, Try/Catch, assignments (see SemaImpl.h).
#include "SemaImpl.h"
#include "Utf8.h"

namespace kqc {

void Sema::checkBodies() {
    for (ClassInfo *cls : imageClasses_) {
        // Field bounds and initial values are computed when an object (or,
        // for shared fields, the program) starts.
        for (Symbol *s : cls->memberOrder) {
            if (s->kind != SymbolKind::Field) continue;
            auto *f = static_cast<FieldInfo *>(s);
            ctx_ = BodyContext{};
            ctx_.cls = ctx_.meClass = cls;
            ctx_.shared = f->shared;
            for (ExprPtr &b : f->decl->bounds) {
                value(b);
                convert(b, type(TypeKind::Int32), "an array bound");
            }
            if (f->decl->init) {
                value(f->decl->init);
                convert(f->decl->init, f->type, "the property");
            }
        }
        for (MemberPtr &m : cls->decl->members) {
            bool hasBody = m->kind == MemberKind::Method ? !cls->isInterface
                                                         : m->kind == MemberKind::Handler ||
                                                               m->kind == MemberKind::MenuHandler;
            if (!hasBody || !m->symbol) continue;
            auto *info = static_cast<MethodInfo *>(m->symbol);
            checkBody(cls, static_cast<MethodDecl &>(*m), info->sig);
        }
    }
    ctx_ = BodyContext{};
}

void Sema::checkBody(ClassInfo *cls, MethodDecl &m, const Signature &sig) {
    ctx_ = BodyContext{};
    ctx_.cls = ctx_.meClass = cls;
    ctx_.decl = &m;
    ctx_.shared = m.shared || cls->isModule;
    ctx_.result = sig.result;
    auto *info = static_cast<MethodInfo *>(m.symbol);
    if (info->control) ctx_.meClass = info->control->cls;
    pushScope();
    // A control array's handler: its first parameter is a local that the
    // handler fills with the member's index.
    size_t first = 0;
    if (info->control && info->control->isArray && !m.params.empty()) {
        info->arrayIndex = declareLocal(m.params[0].name, m.params[0].pos, type(TypeKind::Int32));
        first = 1;
    }
    for (size_t i = first; i < m.params.size() && i - first < sig.params.size(); ++i) {
        if (ctx_.scopes.back().count(utf8::fold(m.params[i].name)))
            continue; // reported with the signature
        const ParamInfo &p = sig.params[i - first];
        Variable *v = declareLocal(m.params[i].name, m.params[i].pos, p.type);
        if (!v) continue;
        v->isParam = true;
        v->byRef = p.byRef;
        v->paramIndex = static_cast<int>(i - first);
    }
    block(m.body);
    popScope();
}

Variable *Sema::declareLocal(const std::string &name, SourcePos pos, const Type *t) {
    std::string folded = utf8::fold(name);
    for (auto &scope : ctx_.scopes) {
        auto found = scope.find(folded);
        if (found != scope.end()) {
            error(pos,
                  "'" + name + "' is already declared at " + diags_.where(found->second->pos, pos));
            return nullptr;
        }
    }
    auto *v = program_.make<Variable>(name, pos, t);
    ctx_.scopes.back()[folded] = v;
    if (ctx_.decl) ctx_.decl->locals.push_back(v);
    return v;
}

Variable *Sema::temp(const Type *t, SourcePos pos) {
    auto *v = program_.make<Variable>("", pos, t);
    v->isTemp = true;
    if (ctx_.decl) ctx_.decl->locals.push_back(v);
    return v;
}

void Sema::block(Block &b) {
    pushScope();
    for (StmtPtr &s : b)
        statement(s);
    popScope();
}

void Sema::condition(ExprPtr &e) {
    const Type *t = value(e);
    if (t->kind == TypeKind::Boolean || t->kind == TypeKind::Error) return;
    if (t->kind == TypeKind::Variant) {
        coerce(e, type(TypeKind::Boolean));
        return;
    }
    error(e->pos, "a condition must be a Boolean, not " + withArticle(t));
}

void Sema::statement(StmtPtr &s) {
    switch (s->kind) {
    case StmtKind::Dim:
        dim(static_cast<DimStmt &>(*s));
        break;
    case StmtKind::Const: {
        ConstDecl &d = *static_cast<ConstStmt &>(*s).decl;
        if (d.name.empty()) break;
        auto *c = program_.make<ConstInfo>(d.name, d.namePos);
        c->decl = &d;
        c->type = types_.error();
        d.symbol = c;
        resolveConst(c);
        std::string folded = utf8::fold(d.name);
        bool taken = false;
        for (auto &scope : ctx_.scopes)
            taken |= scope.count(folded) > 0;
        if (taken) error(d.namePos, "'" + d.name + "' is already declared");
        ctx_.scopes.back()[folded] = c;
        break;
    }
    case StmtKind::Assign:
        assign(static_cast<AssignStmt &>(*s));
        break;
    case StmtKind::Call:
        call(static_cast<CallStmt &>(*s).call, true);
        break;
    case StmtKind::If: {
        auto &i = static_cast<IfStmt &>(*s);
        for (IfBranch &b : i.branches) {
            condition(b.cond);
            block(b.body);
        }
        block(i.elseBody);
        break;
    }
    case StmtKind::Select:
        select(static_cast<SelectStmt &>(*s));
        break;
    case StmtKind::For:
        forLoop(static_cast<ForStmt &>(*s));
        break;
    case StmtKind::While: {
        auto &w = static_cast<WhileStmt &>(*s);
        condition(w.cond);
        ctx_.loops.push_back(s.get());
        block(w.body);
        ctx_.loops.pop_back();
        break;
    }
    case StmtKind::Do: {
        auto &d = static_cast<DoStmt &>(*s);
        if (d.preCond) condition(d.preCond);
        ctx_.loops.push_back(s.get());
        block(d.body);
        ctx_.loops.pop_back();
        if (d.postCond) condition(d.postCond);
        break;
    }
    case StmtKind::Exit:
        jump(*s, static_cast<ExitStmt &>(*s).target, true);
        break;
    case StmtKind::Continue:
        jump(*s, static_cast<ContinueStmt &>(*s).target, false);
        break;
    case StmtKind::Return: {
        auto &r = static_cast<ReturnStmt &>(*s);
        bool sub = ctx_.result->kind == TypeKind::Void;
        if (r.value && sub) {
            error(r.value->pos, "a Sub returns no value");
            value(r.value);
        } else if (r.value) {
            value(r.value);
            convert(r.value, ctx_.result, "the result");
        } else if (!sub) {
            error(r.pos, "Return needs the " + typeName(ctx_.result) + " value to return");
        }
        break;
    }
    case StmtKind::Try:
        tryBlock(static_cast<TryStmt &>(*s));
        break;
    case StmtKind::Raise: {
        auto &r = static_cast<RaiseStmt &>(*s);
        const Type *t = value(r.value);
        ClassInfo *base = runtimeClass("RuntimeException");
        bool ok = t->kind == TypeKind::Error ||
                  (t->kind == TypeKind::Object && base && t->cls->isA(base));
        if (!ok)
            error(r.value->pos,
                  "Raise needs an exception object (a RuntimeException), not " + withArticle(t));
        break;
    }
    }
}

void Sema::dim(DimStmt &s) {
    if (s.init && s.vars.size() > 1) error(s.pos, "only one variable can be declared with a value");
    const Type *initType = s.init ? value(s.init) : nullptr;
    const Type *declared = s.asNew ? initType : s.type.present() ? resolveType(s.type) : nullptr;
    for (DimVar &v : s.vars) {
        const Type *t = declared;
        if (!t) {
            t = initType ? initType : types_.error();
            if (t->kind == TypeKind::Nil || t->kind == TypeKind::Void) {
                error(v.pos,
                      "the type of '" + v.name + "' cannot be told from its value; write As Type");
                t = types_.error();
            }
        }
        if (v.isArray) {
            if (t->kind == TypeKind::Array) error(v.pos, "an array of arrays is not supported");
            for (ExprPtr &b : v.bounds) {
                value(b);
                convert(b, type(TypeKind::Int32), "an array bound");
            }
            t = types_.array(t, std::max<int>(1, static_cast<int>(v.bounds.size())));
        }
        v.variable = declareLocal(v.name, v.pos, t);
        if (s.init && v.variable) convert(s.init, t, "the variable");
    }
}

void Sema::forLoop(ForStmt &s) {
    pushScope();
    Variable *var = nullptr;
    if (s.declType.present()) {
        var = declareLocal(s.var, s.varPos, resolveType(s.declType));
    } else {
        Resolved r = lookup(s.var, s.varPos);
        if (r.ref == Ref::Local && r.symbol->kind == SymbolKind::Variable) {
            var = static_cast<Variable *>(r.symbol);
        } else {
            error(s.varPos, "the loop variable '" + s.var + "' must be a local variable (or: For " +
                                s.var + " As Integer = ...)");
        }
    }
    const Type *t = var ? var->type : types_.error();
    if (t->kind != TypeKind::Error && !isNumeric(t)) {
        error(s.varPos, "the loop variable must be a number, not " + withArticle(t));
        t = types_.error();
    }
    s.variable = var;
    for (ExprPtr *e : {&s.from, &s.to, &s.step}) {
        if (!*e) continue;
        value(*e);
        convert(*e, t, "the loop variable");
    }
    if (t->kind != TypeKind::Error) {
        s.limit = temp(t, s.pos);
        if (s.step) s.stepVar = temp(t, s.pos);
    }
    if (!s.nextVar.empty() && utf8::fold(s.nextVar) != utf8::fold(s.var)) {
        error(s.nextPos, "Next " + s.nextVar + " closes the loop of " + s.var);
    }
    ctx_.loops.push_back(&s);
    block(s.body);
    ctx_.loops.pop_back();
    popScope();
}

void Sema::select(SelectStmt &s) {
    const Type *t = value(s.selector);
    if (t->kind == TypeKind::Void) t = types_.error();
    s.temp = temp(t, s.pos);
    for (CaseBlock &c : s.cases) {
        for (CaseClause &clause : c.clauses) {
            const Type *operand = nullptr;
            for (ExprPtr *e : {&clause.value, &clause.upper}) {
                if (!*e) continue;
                const Type *vt = value(*e);
                Op op = clause.kind == CaseClause::Kind::Value ? Op::Eq
                        : clause.kind == CaseClause::Kind::Is  ? clause.op
                                                               : Op::Le;
                const Type *ct = comparisonType(t, vt, op, (*e)->pos);
                if (!ct) continue;
                if (!operand || ct != operand)
                    operand = operand ? arithmeticType(types_, operand, ct) : ct;
                if (!operand) operand = ct;
            }
            clause.operandType = operand ? operand : types_.error();
            for (ExprPtr *e : {&clause.value, &clause.upper}) {
                if (*e) coerce(*e, clause.operandType);
            }
        }
        block(c.body);
    }
}

void Sema::tryBlock(TryStmt &s) {
    block(s.body);
    ClassInfo *base = runtimeClass("RuntimeException");
    std::vector<const ClassInfo *> caught;
    for (CatchClause &c : s.catches) {
        pushScope();
        const Type *t = base ? base->type : types_.error();
        if (c.type.present()) {
            t = resolveType(c.type);
            if (t->kind != TypeKind::Error &&
                (t->kind != TypeKind::Object || !base || !t->cls->isA(base))) {
                error(c.type.pos,
                      "Catch takes an exception class (a RuntimeException), not " + typeName(t));
                t = types_.error();
            }
        } else if (!base) {
            error(c.pos, "the runtime has no class RuntimeException");
        }
        if (t->kind == TypeKind::Object) {
            for (const ClassInfo *earlier : caught) {
                if (t->cls->isA(earlier)) {
                    error(c.pos,
                          "this Catch is never reached: " + earlier->name + " is caught before it");
                    break;
                }
            }
            caught.push_back(t->cls);
        }
        if (!c.var.empty()) c.variable = declareLocal(c.var, c.varPos, t);
        block(c.body);
        popScope();
    }
    block(s.finallyBody);
}

void Sema::jump(Stmt &s, JumpTarget target, bool isExit) {
    const Stmt *loop = nullptr;
    if (target == JumpTarget::Sub || target == JumpTarget::Function) {
        bool function = ctx_.decl && ctx_.decl->isFunction;
        if (function != (target == JumpTarget::Function)) {
            error(s.pos, std::string("this is a ") +
                             (function ? "Function: Exit Function" : "Sub: Exit Sub"));
        }
    } else {
        for (auto l = ctx_.loops.rbegin(); l != ctx_.loops.rend() && !loop; ++l) {
            StmtKind k = (*l)->kind;
            bool fits = target == JumpTarget::Loop ||
                        (target == JumpTarget::For && k == StmtKind::For) ||
                        (target == JumpTarget::While && k == StmtKind::While) ||
                        (target == JumpTarget::Do && k == StmtKind::Do);
            if (fits) loop = *l;
        }
        static const char *const names[] = {"", " For", " While", " Do"};
        if (!loop && (target != JumpTarget::Loop || !isExit)) {
            error(s.pos, std::string(isExit ? "Exit" : "Continue") +
                             names[static_cast<int>(target)] + " is not inside such a loop");
        }
    }
    if (isExit) {
        static_cast<ExitStmt &>(s).loop = loop;
    } else {
        static_cast<ContinueStmt &>(s).loop = loop;
    }
}

void Sema::assign(AssignStmt &s) {
    const Type *target = types_.error();
    ExprKind kind = s.target->kind;
    if (kind == ExprKind::Name || kind == ExprKind::Member) {
        assigning_ = true;
        target = expr(s.target);
        assigning_ = false;
        Ref ref = kind == ExprKind::Name ? static_cast<NameExpr &>(*s.target).ref
                                         : static_cast<MemberExpr &>(*s.target).ref;
        if (ref == Ref::Property) {
            auto *p = static_cast<const PropertyInfo *>(
                kind == ExprKind::Name ? static_cast<NameExpr &>(*s.target).symbol
                                       : static_cast<MemberExpr &>(*s.target).symbol);
            if (p->setter.empty())
                error(s.target->pos, "the property '" + p->name + "' is read-only");
        } else if (target->kind != TypeKind::Error && ref != Ref::Local && ref != Ref::Field &&
                   ref != Ref::SharedField) {
            error(s.target->pos, "this cannot be assigned to");
            target = types_.error();
        }
    } else if (kind == ExprKind::Call && assignForm(s)) {
        return;
    } else if (kind == ExprKind::Call) {
        target = expr(s.target);
        auto &c = static_cast<CallExpr &>(*s.target);
        if (c.ref != Ref::Index && target->kind != TypeKind::Error) {
            error(s.target->pos,
                  "only variables, properties and array elements can be assigned to");
            target = types_.error();
        }
    } else {
        expr(s.target);
        error(s.target->pos, "only variables, properties and array elements can be assigned to");
    }
    value(s.value);
    convert(s.value, target, "");
}

// `obj.Name(args) = value` through the assigning form of a runtime member:
// its entry point takes the arguments and then the value.
bool Sema::assignForm(AssignStmt &s) {
    auto &c = static_cast<CallExpr &>(*s.target);
    Resolved r;
    Ref *calleeRef;
    const Symbol **calleeSymbol;
    std::string name;
    if (c.callee->kind == ExprKind::Member) {
        auto &m = static_cast<MemberExpr &>(*c.callee);
        r = resolveMember(m);
        if (r.ref == Ref::Unresolved) { // reported
            checkArgs(c.args);
            value(s.value);
            return true;
        }
        calleeRef = &m.ref, calleeSymbol = &m.symbol, name = m.member;
    } else if (c.callee->kind == ExprKind::Name) {
        auto &n = static_cast<NameExpr &>(*c.callee);
        r = lookup(n.name, n.pos);
        calleeRef = &n.ref, calleeSymbol = &n.symbol, name = n.name;
    } else {
        return false;
    }
    std::vector<const Signature *> sigs;
    std::vector<const MethodInfo *> forms;
    if (r.ref == Ref::RuntimeMethod) {
        for (const Symbol *sym : *r.symbols) {
            if (sym->kind != SymbolKind::Method) continue;
            auto *method = static_cast<const MethodInfo *>(sym);
            if (method->isAssign) {
                sigs.push_back(&method->sig);
                forms.push_back(method);
            }
        }
    }
    if (sigs.empty()) return false;
    if (c.callee->kind == ExprKind::Name && !static_cast<const MethodInfo *>(r.symbol)->shared &&
        !instanceAccess(c.callee->pos, r.symbol)) {
        return true;
    }
    *calleeRef = c.ref = r.ref;
    *calleeSymbol = r.symbol;
    bool ok = checkArgs(c.args);
    ok &= value(s.value)->kind != TypeKind::Error;
    c.type = type(TypeKind::Void);
    if (!ok) return true;
    c.args.push_back(std::move(s.value));
    int chosen = chooseOverload(c.args, c.pos, name, sigs);
    s.value = std::move(c.args.back());
    c.args.pop_back();
    if (chosen >= 0) c.symbol = forms[chosen];
    return true;
}

} // namespace kqc
